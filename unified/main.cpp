#include "unified/Program.h"

int main(int argc, char** argv) {
    return RostrixMain(argc, argv);
}
