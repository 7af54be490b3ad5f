#include "unified/core/Tree.h"

#include "tests/support/Scratch.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

// Every child of a node as name and value, walked with the one-pass cursor;
// a node shows as its name followed by "{".
std::vector<std::pair<std::string, std::string>> Children(Tree& node) {
    std::vector<std::pair<std::string, std::string>> out;
    while (Tree* c = node.NextChild())
        out.emplace_back(c->Name() + (c->IsNode() ? "{" : ""), c->Value());
    return out;
}

using Entries = std::vector<std::pair<std::string, std::string>>;

class TreeFiles : public testing::Test {
protected:
    // Loads these bytes as a file.
    void Load(Tree& root, const std::string& bytes) {
        WriteFile(folder.File("in.lad"), bytes);
        root.LoadFromFile(folder.File("in.lad"));
    }
    TempFolder folder;
};

} // namespace

TEST(TreeNodes, CursorMakesOnePassOverTheChildren) {
    Tree root;
    EXPECT_EQ(root.Name(), "UNKNOWN");
    EXPECT_TRUE(root.IsNode());
    EXPECT_EQ(root.NextChild(), nullptr);
    root.AddValue("a", "1");
    Tree* node = root.AddChild("N");
    node->AddValue("b", "2");
    root.AddValue("c", "");
    EXPECT_EQ(Children(root), (Entries{{"a", "1"}, {"N{", ""}, {"c", ""}}));
    EXPECT_EQ(root.NextChild(), nullptr); // after the last child, again and again
    EXPECT_EQ(root.NextChild(), nullptr);
    EXPECT_EQ(Children(*node), (Entries{{"b", "2"}}));
    EXPECT_FALSE(root.HasError());
}

TEST_F(TreeFiles, ReaderKeepsValuesWhole) {
    Tree root;
    // LF alone ends a line as well as CR LF; only the line's start is trimmed.
    Load(root, "Root{\r\n"
               " name=  two blanks before, two after  \r\n"
               "\t\tdeep=tabs before the name\n"
               " k=a=b\r\n"
               " e=\r\n"
               " Empty{\r\n"
               " }\r\n"
               " ends=with brace{ \r\n"
               " cr=inner\rreturn\r\n"
               "}\r\n");
    ASSERT_FALSE(root.HasError());
    EXPECT_EQ(root.Name(), "Root");
    Entries children = Children(root);
    EXPECT_EQ(children, (Entries{{"name", "  two blanks before, two after  "},
                                 {"deep", "tabs before the name"},
                                 {"k", "a=b"},
                                 {"e", ""},
                                 {"Empty{", ""},
                                 {"ends", "with brace{ "},
                                 {"cr", "inner\rreturn"}}));
}

TEST_F(TreeFiles, ReaderRulesAndFailures) {
    const std::string big(kTreeLineLimit - 3, 'x'); // " a=" + big: the longest line
    struct Case {
        const char* what;
        std::string bytes;
        bool error;
        Entries children;
    };
    const std::vector<Case> cases = {
        {"value ending in a brace opens a node",
         "R{\r\n a=b{\r\n c=d\r\n }\r\n}\r\n",
         false,
         {{"a=b{", ""}}},
        {"a file ending inside a node closes it", "R{\r\n N{\r\n a=1\r\n", false, {{"N{", ""}}},
        {"lines after the root are not read",
         "R{\r\n a=1\r\n}\r\nno equals\r\n\r\n",
         false,
         {{"a", "1"}}},
        {"a line as long as the reader takes",
         "R{\r\n a=" + big + "\r\n}\r\n",
         false,
         {{"a", big}}},
        {"an empty line", "R{\r\n a=1\r\n\r\n b=2\r\n}\r\n", true, {{"a", "1"}}},
        {"a blank line", "R{\r\n a=1\r\n   \r\n}\r\n", true, {{"a", "1"}}},
        {"a line without =",
         "R{\r\n a=1\r\n N{\r\n oops\r\n }\r\n b=2\r\n}\r\n",
         true,
         {{"a", "1"}, {"N{", ""}}},
        {"a closing brace with a blank after it", "R{\r\n} \r\n", true, {}},
        {"a line too long for the reader", "R{\r\n a=" + big + "x\r\n b=2\r\n}\r\n", true, {}},
        {"a first line without a brace", "R\r\n a=1\r\n}\r\n", true, {}},
        {"a first line too long", std::string(kTreeLineLimit, 'R') + "{\r\n}\r\n", true, {}},
        {"an empty file", "", true, {}},
    };
    for (const Case& c : cases) {
        Tree root;
        Load(root, c.bytes);
        EXPECT_EQ(root.HasError(), c.error) << c.what;
        EXPECT_EQ(Children(root), c.children) << c.what;
    }
    Tree missing;
    missing.LoadFromFile(folder.File("no such file"));
    EXPECT_TRUE(missing.HasError());
    Tree folderItself;
    folderItself.LoadFromFile(folder.Path());
    EXPECT_TRUE(folderItself.HasError());
}

TEST_F(TreeFiles, LineLimitCountsCharactersNotBytes) {
    // A line of two-byte characters: more bytes than the limit, as many characters.
    std::string value;
    for (std::size_t i = 0; i + 3 < kTreeLineLimit; ++i)
        value += "\xC3\xA9";
    Tree root;
    Load(root, "R{\r\n a=" + value + "\r\n}\r\n");
    EXPECT_FALSE(root.HasError());
    EXPECT_EQ(Children(root), (Entries{{"a", value}}));
}

TEST_F(TreeFiles, WriterNeverWritesALineItCannotReadBack) {
    Tree root("R");
    root.AddValue("brace", "ends in {");
    root.AddValue("breaks", "one\r\ntwo\nthree\r");
    root.AddValue("only", "\r\n"); // nothing left: left out like any empty value
    root.AddValue("after", "still here");
    const std::string path = folder.File("out.lad");
    ASSERT_TRUE(root.SaveToFile(path));
    EXPECT_EQ(ReadFile(path), "R{\r\n brace=ends in { \r\n breaks=onetwothree\r\n"
                              " after=still here\r\n}\r\n");
    Tree back;
    back.LoadFromFile(path);
    EXPECT_FALSE(back.HasError());
    EXPECT_EQ(
        Children(back),
        (Entries{{"brace", "ends in { "}, {"breaks", "onetwothree"}, {"after", "still here"}}));

    // A line longer than the reader takes fails the save and keeps the old file.
    Tree tooLong("R");
    tooLong.AddValue("a", std::string(kTreeLineLimit, 'x'));
    EXPECT_FALSE(tooLong.SaveToFile(path));
    EXPECT_TRUE(tooLong.HasError());
    EXPECT_EQ(ReadFile(path).substr(0, 10), "R{\r\n brace");
}

TEST_F(TreeFiles, FailedSaveReportsFailureAndKeepsTheOldFile) {
    const std::string path = folder.File("event.lad");
    WriteFile(path, "old contents\r\n");
    chmod(path.c_str(), 0640);
    Tree root("R");
    for (int i = 0; i < 2000; ++i)
        root.AddValue("k", "a value long enough to fill the disk " + std::to_string(i));

    // A full disk: the file-size limit makes writes fail as a full disk does.
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
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);

    // The folder gone.
    Tree small1("R");
    EXPECT_FALSE(small1.SaveToFile(folder.File("gone/event.lad")));
    EXPECT_TRUE(small1.HasError());

    // A save that succeeds replaces the file and keeps its permissions.
    Tree ok("R");
    ok.AddValue("a", "1");
    EXPECT_TRUE(ok.SaveToFile(path));
    EXPECT_FALSE(ok.HasError());
    EXPECT_EQ(ReadFile(path), "R{\r\n a=1\r\n}\r\n");
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(TreeFiles, NestingAsDeepAsAFileGoesLoadsAndFrees) {
    std::string bytes = "R{\r\n";
    for (int i = 0; i < 200000; ++i)
        bytes += "N{\r\n";
    Tree root;
    Load(root, bytes);
    EXPECT_FALSE(root.HasError());
    Tree* node = &root;
    int depth = 0;
    while ((node = node->NextChild()) != nullptr)
        ++depth;
    EXPECT_EQ(depth, 200000);
}

TEST(TreeText, ReaderRules) {
    struct Case {
        const char* what;
        std::string text;
        bool error;
        Entries children;
        std::string rest; // what the text holds afterwards
    };
    const std::vector<Case> cases = {
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
         "R{\r\n a=1\r\n N{\r\n bad\r\n c=3\r\n",
         true,
         {{"a", "1"}, {"N{", ""}},
         " bad\r\n c=3\r\n"},
        {"LF alone does not end a line", "R{\n a=1\n}\n", true, {}, "R{\n a=1\n}\n"},
        {"a first line without a brace", "R\r\n}\r\n", true, {}, "R\r\n}\r\n"},
        {"an empty first line", "\r\nR{\r\n}\r\n", true, {}, "\r\nR{\r\n}\r\n"},
    };
    for (const Case& c : cases) {
        Tree root;
        std::string text = c.text;
        root.LoadFromText(text);
        EXPECT_EQ(root.HasError(), c.error) << c.what;
        EXPECT_EQ(Children(root), c.children) << c.what;
        EXPECT_EQ(text, c.rest) << c.what;
    }
}

TEST(TreeText, ErrorMarksEveryOpenNode) {
    Tree root;
    std::string text = "R{\r\n N{\r\n M{\r\n bad\r\n";
    root.LoadFromText(text);
    EXPECT_TRUE(root.HasError());
    Tree* n = root.NextChild();
    ASSERT_NE(n, nullptr);
    EXPECT_TRUE(n->HasError());
    Tree* m = n->NextChild();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->HasError());
}

TEST(TreeText, LongTextIsReadInLinearTime) {
    // 200,000 leaves: a reader that cut the text once per line would copy
    // gigabytes here.
    std::string text = "R{\r\n";
    for (int i = 0; i < 200000; ++i)
        text += " k=value number " + std::to_string(i) + "\r\n";
    text += "}\r\n";
    Tree root;
    root.LoadFromText(text);
    EXPECT_FALSE(root.HasError());
    EXPECT_TRUE(text.empty());
    int count = 0;
    while (root.NextChild() != nullptr)
        ++count;
    EXPECT_EQ(count, 200000);
}

namespace {

// The form field "fileData" of a body holding the text, as Python's standard
// form decoder gives it back.
std::string DecodedByPython(const std::string& formText, const TempFolder& folder) {
    const std::string body = "userId=u&pword=p&fileName=club.lad&fileData=" + formText;
    WriteFile(folder.File("body"), body);
    const std::string command = "/usr/bin/python3 -c \"import sys, urllib.parse; "
                                "body = open(sys.argv[1], encoding='utf-8').read(); "
                                "sys.stdout.write(urllib.parse.parse_qs(body)['fileData'][0])\" " +
                                folder.File("body") + " > " + folder.File("decoded");
    EXPECT_EQ(std::system(command.c_str()), 0);
    return ReadFile(folder.File("decoded"));
}

} // namespace

TEST(TreeForm, StandardDecoderGivesBackEveryValue) {
    TempFolder folder;
    Tree root("Ladder");
    root.AddValue("v", "*2.1");
    root.AddValue("e", "");
    Tree* player = root.AddChild("P");
    player->AddValue("f", "Zoë & Ann; a=b + c");
    player->AddValue("c", "10%2B, 50% off, 100%");
    player->AddValue("s", "  {braces}  ");
    player->AddValue("y", "ends in {");
    root.AddChild("Empty");
    std::string form = "left over";
    root.SaveToFormText(form);
    EXPECT_EQ(form, "Ladder{%0Av%3D*2.1\nP{%0Af%3DZoë %26 Ann%3B a%3Db %2B c\n"
                    "c%3D10%252B, 50%25 off, 100%25\ns%3D  {braces}  \ny%3Dends in { \n"
                    "}%0AEmpty{%0A}%0A}%0A");
    EXPECT_FALSE(root.HasError());

    // Decoded, it is the file form without indentation; with CR LF line
    // ends, as a download hands it over, the text reader reads it back.
    const std::string decoded = DecodedByPython(form, folder);
    EXPECT_EQ(decoded, "Ladder{\nv=*2.1\nP{\nf=Zoë & Ann; a=b + c\nc=10%2B, 50% off, 100%\n"
                       "s=  {braces}  \ny=ends in { \n}\nEmpty{\n}\n}\n");
    std::string text;
    for (char c : decoded)
        text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Tree back;
    back.LoadFromText(text);
    EXPECT_FALSE(back.HasError());
    Entries top = Children(back);
    EXPECT_EQ(top, (Entries{{"v", "*2.1"}, {"P{", ""}, {"Empty{", ""}}));
}

TEST(TreeForm, TextsOfOlderWritersStillDecode) {
    // Older writers sent "%" as it stands; a "%" that starts no escape still
    // reaches the service unchanged.
    TempFolder folder;
    EXPECT_EQ(DecodedByPython("R{%0Aa%3D50% off, 100%\n}%0A", folder), "R{\na=50% off, 100%\n}\n");
}
