#include "installer/MainForm.h"

int main(int argc, char** argv) {
    return InstallerMain(argc, argv);
}
