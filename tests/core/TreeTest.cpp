#include "unified/core/Tree.h"

#include "tests/support/Scratch.h"
#include "unified/core/textFile.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Every child of a node as name and value, walked with the one-pass cursor;
// a node shows as its name followed by "{".
Entries Children(Tree& node) {
    Entries out;
    while (Tree* c = node.NextChild())
        out.emplace_back(c->Name() + (c->IsNode() ? "{" : ""), c->Value());
    EXPECT_EQ(node.NextChild(), nullptr); // and again after the last child
    return out;
}

struct ReaderCase {
    const char* what;
    std::string input;
    bool error;
    Entries children;
    std::string rest = ""; // text reader: what the text holds afterwards
};

} // namespace

TEST(TreeFile, ReaderRulesAndFailures) {
    const std::string longest(kTreeLineLimit - 3, 'x'); // " a=" + longest: the longest line
    std::string wide;                                   // as many characters, twice the bytes
    while (wide.size() < 2 * longest.size())
        wide += "é";
    const std::vector<ReaderCase> cases = {
        {"a value ending in a brace opens a node",
         "R{\r\n a=b{\r\n c=d\r\n }\r\n}\r\n",
         false,
         {{"a=b{", ""}}},
        {"a file ending inside a node closes it", "R{\r\n N{\r\n a=1\r\n", false, {{"N{", ""}}},
        {"lines after the root are not read",
         "R{\r\n a=1\r\n}\r\nno equals\r\n",
         false,
         {{"a", "1"}}},
        {"the longest line", "R{\r\n a=" + longest + "\r\n}\r\n", false, {{"a", longest}}},
        {"line breaks inside a line are no part of its value",
         "R{\r\n a=b\rc\r\r\n d=e{\r \r\n}\r\n",
         false,
         {{"a", "bc"}, {"d", "e{"}}},
        {"limits count characters", "R{\r\n a=" + wide + "\r\n}\r\n", false, {{"a", wide}}},
        {"an empty line", "R{\r\n a=1\r\n\r\n b=2\r\n}\r\n", true, {{"a", "1"}}},
        {"a line without =", "R{\r\n N{\r\n oops\r\n }\r\n b=2\r\n}\r\n", true, {{"N{", ""}}},
        {"a closing brace with a blank after it", "R{\r\n} \r\n", true, {}},
        {"a line too long for the reader", "R{\r\n a=" + longest + "x\r\n b=2\r\n}\r\n", true, {}},
        {"a first line without a brace", "R\r\n a=1\r\n}\r\n", true, {}},
        {"an empty file", "", true, {}},
    };
    TempFolder folder;
    for (const ReaderCase& c : cases) {
        WriteFile(folder.File("in.lad"), c.input);
        Tree root;
        root.LoadFromFile(folder.File("in.lad"));
        EXPECT_EQ(root.HasError(), c.error) << c.what;
        EXPECT_EQ(Children(root), c.children) << c.what;
    }
    Tree missing;
    missing.LoadFromFile(folder.File("no such file"));
    EXPECT_TRUE(missing.HasError());
}

TEST(TreeFile, WriterNeverWritesALineItCannotReadBack) {
    TempFolder folder;
    const std::string path = folder.File("out.lad");
    Tree root("R");
    root.AddValue("brace", "ends in {");
    root.AddValue("breaks", "one\r\ntwo\n");
    root.AddValue("only", "\r\n"); // nothing left: left out like any empty value
    ASSERT_TRUE(root.SaveToFile(path));
    EXPECT_EQ(ReadFile(path), "R{\r\n brace=ends in { \r\n breaks=onetwo\r\n}\r\n");
    Tree back;
    back.LoadFromFile(path);
    EXPECT_EQ(Children(back), (Entries{{"brace", "ends in {"}, {"breaks", "onetwo"}}));

    Tree tooLong("R");
    tooLong.AddValue("a", std::string(kTreeLineLimit, 'x'));
    EXPECT_FALSE(tooLong.SaveToFile(path));
    EXPECT_TRUE(tooLong.HasError());
    EXPECT_EQ(ReadFile(path).substr(0, 10), "R{\r\n brace"); // the old file stays
}

// The blank after a final "{" is the writer's mark: values come back as they
// were, through the file and through the percent form alike.
TEST(TreeFile, ValueEndingInABraceReadsBackUnchanged) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{", "{ "},      {"a{", "a{ "},  {"a{ ", "a{  "}, {"a{   ", "a{    "},
        {"{ {", "{ { "},  {" {", " { "},  {"a{b", "a{b"},  {"a{ b", "a{ b"},
        {"a{\t", "a{\t"}, {"a }", "a }"}, {"é{", "é{ "},   {"   ", "   "},
    };
    TempFolder folder;
    for (const auto& [value, written] : cases) {
        Tree root("R");
        root.AddValue("v", value);
        ASSERT_TRUE(root.SaveToFile(folder.File("out.lad")));
        EXPECT_EQ(ReadFile(folder.File("out.lad")), "R{\r\n v=" + written + "\r\n}\r\n");
        Tree back;
        back.LoadFromFile(folder.File("out.lad"));
        EXPECT_FALSE(back.HasError());
        EXPECT_EQ(Children(back), (Entries{{"v", value}})) << "[" << value << "]";

        std::string form;
        root.SaveToFormText(form);
        EXPECT_EQ(form, "R{%0Av%3D" + written + "\n}%0A");
        std::string text = "R{\r\nv=" + written + "\r\n}\r\n";
        Tree fromText;
        fromText.LoadFromText(text);
        EXPECT_EQ(Children(fromText), (Entries{{"v", value}})) << "[" << value << "]";
    }
}

TEST(TreeFile, FailedSaveReportsFailureAndKeepsTheOldFile) {
    TempFolder folder;
    const std::string path = folder.File("event.lad");
    WriteFile(path, "old contents\r\n");
    chmod(path.c_str(), 0640);
    Tree root("R");
    for (int i = 0; i < 2000; ++i)
        root.AddValue("k", "a value long enough to fill the disk " + std::to_string(i));

    // The file-size limit makes writes fail as a full disk does.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = root.SaveToFile(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(root.HasError());
    EXPECT_EQ(ReadFile(path), "old contents\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    EXPECT_FALSE(Tree("R").SaveToFile(folder.File("gone/event.lad")));

    // A save that succeeds keeps the file's permissions, or gives a new file
    // the usual ones rather than the temporary file's.
    const mode_t mask = umask(022);
    Tree ok("R");
    EXPECT_TRUE(ok.SaveToFile(path));
    EXPECT_TRUE(ok.SaveToFile(folder.File("new.lad")));
    umask(mask);
    EXPECT_EQ(ReadFile(path), "R{\r\n}\r\n");
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    stat(folder.File("new.lad").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(TreeFile, NestingAsDeepAsAFileGoesLoadsAndFrees) {
    TempFolder folder;
    std::string bytes = "R{\r\n";
    for (int i = 0; i < 200000; ++i)
        bytes += "N{\r\n";
    WriteFile(folder.File("deep.lad"), bytes);
    Tree root;
    root.LoadFromFile(folder.File("deep.lad"));
    EXPECT_FALSE(root.HasError());
}

// A root read into again drops every node it held, its texts and the
// nodes below them included, and keeps only what it read.
TEST(TreeFile, ReadingIntoAFilledRootKeepsOnlyWhatWasRead) {
    TempFolder folder;
    WriteFile(folder.File("in.lad"), "R{\r\n a=1\r\n}\r\n");
    Tree root("Old");
    for (int i = 0; i < 1000; ++i)
        if (Tree* node = root.AddChild("N")) node->AddValue("k", std::string(40, 'x'));
    root.LoadFromFile(folder.File("in.lad"));
    EXPECT_EQ(root.Name(), "R");
    EXPECT_EQ(Children(root), (Entries{{"a", "1"}}));
    std::string text = "T{\r\n b=2\r\n}\r\n";
    root.LoadFromText(text);
    EXPECT_EQ(root.Name(), "T");
    EXPECT_EQ(Children(root), (Entries{{"b", "2"}}));
}

// Past the node limit the readers stop with the error flag rather than
// spend memory on a file that no event writes; at the limit they read on.
TEST(TreeFile, ReadersStopPastTheNodeLimit) {
    const auto lines = [](const std::string& line, std::size_t count) {
        std::string text = "R{\r\n";
        text.reserve(text.size() + count * line.size());
        for (std::size_t i = 0; i < count; ++i)
            text += line;
        return text;
    };
    TempFolder folder;
    WriteFile(folder.File("full.lad"), lines(" a=1\r\n", kTreeNodeLimit) + "}\r\n");
    Tree full;
    full.LoadFromFile(folder.File("full.lad"));
    EXPECT_FALSE(full.HasError());

    WriteFile(folder.File("nested.lad"), lines("a{\r\n", kTreeNodeLimit + 1));
    Tree nested;
    nested.LoadFromFile(folder.File("nested.lad"));
    EXPECT_TRUE(nested.HasError());

    std::string text = lines(" a=1\r\n", kTreeNodeLimit) + " b=2\r\n}\r\n";
    Tree fromText;
    fromText.LoadFromText(text);
    EXPECT_TRUE(fromText.HasError());
    EXPECT_EQ(text, " b=2\r\n}\r\n"); // the unread rest
}

TEST(TreeText, ReaderRules) {
    const std::vector<ReaderCase> cases = {
        {"a whole tree",
         "R{\r\n a=1\r\n  N{\r\n b= 2 \r\n }\r\n}\r\nafter\r\n",
         false,
         {{"a", "1"}, {"N{", ""}},
         "after\r\n"},
        {"an empty line ends the parse",
         "R{\r\n a=1\r\n\r\n b=2\r\n}\r\n",
         false,
         {{"a", "1"}},
         "\r\n b=2\r\n}\r\n"},
        {"a last line without its end is not read",
         "R{\r\n a=1\r\n b=2",
         false,
         {{"a", "1"}},
         " b=2"},
        {"a line without = stays in the text",
         "R{\r\n a=1\r\n bad\r\n c=3\r\n",
         true,
         {{"a", "1"}},
         " bad\r\n c=3\r\n"},
        {"LF alone ends no line", "R{\n a=1\n}\n", true, {}, "R{\n a=1\n}\n"},
        {"an empty first line", "\r\nR{\r\n}\r\n", true, {}, "\r\nR{\r\n}\r\n"},
    };
    for (const ReaderCase& c : cases) {
        Tree root;
        std::string text = c.input;
        root.LoadFromText(text);
        EXPECT_EQ(root.HasError(), c.error) << c.what;
        EXPECT_EQ(Children(root), c.children) << c.what;
        EXPECT_EQ(text, c.rest) << c.what;
    }

    // A malformed line marks every node that was open.
    Tree root;
    std::string text = "R{\r\n N{\r\n bad\r\n";
    root.LoadFromText(text);
    EXPECT_TRUE(root.HasError());
    EXPECT_TRUE(root.NextChild()->HasError());

    // A reader that cut the text once a line would copy gigabytes here.
    text = "R{\r\n";
    for (int i = 0; i < 200000; ++i)
        text += " k=value number " + std::to_string(i) + "\r\n";
    Tree big;
    big.LoadFromText(text);
    EXPECT_FALSE(big.HasError());
    EXPECT_TRUE(text.empty());
}

TEST(TreeForm, StandardDecoderGivesBackEveryValue) {
    Tree root("Ladder");
    root.AddValue("e", "");
    Tree* player = root.AddChild("P");
    player->AddValue("f", "Zoë & Ann; a=b + c");
    player->AddValue("c", "10%2B, 50% off");
    player->AddValue("y", "  ends in {");
    root.AddChild("Empty");
    std::string form = "left over";
    root.SaveToFormText(form);
    EXPECT_EQ(form, "Ladder{%0AP{%0Af%3DZoë %26 Ann%3B a%3Db %2B c\nc%3D10%252B, 50%25 off\n"
                    "y%3D  ends in { \n}%0AEmpty{%0A}%0A}%0A");

    // The field as Python's standard form decoder gives it back; older
    // writers sent "%" as it stands, which still arrives unchanged where it
    // starts no escape.
    TempFolder folder;
    WriteFile(folder.File("body"), "userId=u&pword=p&fileData=" + form + "&old=50% off");
    const std::string command = "/usr/bin/python3 -c \"import sys, urllib.parse; "
                                "q = urllib.parse.parse_qs(open(sys.argv[1]).read()); "
                                "sys.stdout.write(q['fileData'][0] + '|' + q['old'][0])\" " +
                                folder.File("body") + " > " + folder.File("decoded");
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string decoded = ReadFile(folder.File("decoded"));
    EXPECT_EQ(decoded, "Ladder{\nP{\nf=Zoë & Ann; a=b + c\nc=10%2B, 50% off\ny=  ends in { \n}\n"
                       "Empty{\n}\n}\n|50% off");

    // With CR LF line ends, as a download hands it over, it reads back.
    std::string text;
    for (char c : decoded.substr(0, decoded.find('|')))
        text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Tree back;
    back.LoadFromText(text);
    EXPECT_FALSE(back.HasError());
    EXPECT_EQ(
        Children(*back.NextChild()),
        (Entries{{"f", "Zoë & Ann; a=b + c"}, {"c", "10%2B, 50% off"}, {"y", "  ends in {"}}));
}

TEST(TreeFile, AFileFarLargerThanAnyEventIsRefusedNotRead) {
    TempFolder folder;
    const std::string path = folder.File("huge.lad");
    WriteFile(path, "Ladder{\r\n");
    // A sparse file: large to the reader, nothing on the disk.
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(kMaxTextFileBytes) + 1), 0);
    Tree root;
    root.LoadFromFile(path);
    EXPECT_TRUE(root.HasError());
}
