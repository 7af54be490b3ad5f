// A season of a ladder driven through the main window as its organiser
// would: each folder under seasons/ holds a script of menu commands and
// dialog entries, and what the season leaves: the saved file (saved.lad),
// the report printed to HTML (report.html) and the standings the window
// shows once the saved file is opened again (standings.txt). Adding a season
// is adding a folder; ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files.
//
// Script lines ("|" between fields):
//   sample                                  Help > Samples > Data
//   open|file                               File > Open of a file of the folder
//   add|first|last|position[|first|last]    Setup > Add Player (a pair: two screens)
//   box|caption|text|answer                 the next message box and its answer
//   result|date|winner|loser|score|tie[|apply]
//                                           Tools > Enter Results, OK (or Apply,
//                                           then Cancel); a warning cancelled
//                                           leaves the dialog to Cancel
//   post, issue                             Tools > Post Results, Generate Issue
//   html, saveas, reopen                    the report file, Save As, Open of it

#include "tests/ladder/LadderWindow.h"
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/ladder/EnterResultsBox.h"
#include "unified/window/AUPlayerBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

const std::string kSeasons = std::string(LADDER_TEST_DIR) + "/seasons";

// Every box of a season asks OK or Cancel: a confirmation with the question
// mark, a warning with the exclamation mark.
unsigned Flags(const std::string& caption) {
    return MB_OKCANCEL | (caption == "Confirmation" ? MB_ICONQUESTION : MB_ICONEXCLAMATION);
}

// Chooses the entry of the player named so (a pair's entry by its first
// player).
void ChooseByName(QComboBox* list, const std::string& name) {
    for (int i = 0; i < list->count(); ++i) {
        const std::string entry = list->itemText(i).toStdString();
        if (entry == name || entry.starts_with(name + " \t ")) {
            list->setCurrentIndex(i);
            return;
        }
    }
    ADD_FAILURE() << "no entry for " << name;
}

std::string Standings() {
    std::string text;
    const Grid& grid = *MainForm->PlayerGrid;
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int col = 0; col < grid.ColCount(); ++col)
            text += (col > 0 ? "\t" : "") + grid.Cell(col, row);
        text += "\r\n";
    }
    for (const std::string& line : PaneLines())
        text += line + "\r\n";
    return text;
}

class LadderSeason : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        Settings = rxProgram(); // reads the staged installation folder
        CreateWindows({"-L"});
    }
    void TearDown() override { DestroyWindows(); }

    void Play(const ScriptLine& line);
    void AddPlayer(const ScriptLine& line);
    void EnterResult(const ScriptLine& line);

    std::string folder = kSeasons + "/" + GetParam();
    ScopedEnv registry{"ROSTRIX_REGISTRY", std::string(ROSTRIX_STAGE) + "/registry"};
    ScopedFixedDate today{2024, 6, 3};
    TempFolder scratch;
    BoxScript boxes;
    FileDialogScript files;
};

void LadderSeason::AddPlayer(const ScriptLine& line) {
    DialogScript dialogs;
    dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
        d.FirstName->setText(QString::fromStdString(line.Arg(1)));
        d.LastName->setText(QString::fromStdString(line.Arg(2)));
        d.Points_Position->setText(QString::fromStdString(line.Arg(3)));
        d.OKBtn->click();
        if (line.FieldCount() > 4) {
            d.FirstName->setText(QString::fromStdString(line.Arg(4)));
            d.LastName->setText(QString::fromStdString(line.Arg(5)));
            d.OKBtn->click();
        }
        EXPECT_FALSE(d.isVisible()) << line.Text();
    });
    MainForm->AddPlayer1->trigger();
}

void LadderSeason::EnterResult(const ScriptLine& line) {
    DialogScript dialogs;
    dialogs.Expect<TEnterResultsBox>([&](TEnterResultsBox& d) {
        d.Date->setText(QString::fromStdString(line.Arg(1)));
        ChooseByName(d.Winner, line.Arg(2));
        ChooseByName(d.Loser, line.Arg(3));
        d.Score->setText(QString::fromStdString(line.Arg(4)));
        d.TieScore->setChecked(line.Arg(5) == "tie");
        (line.Arg(6) == "apply" ? d.Apply : d.OK)->click();
        if (d.isVisible()) d.Cancel->click();
    });
    MainForm->EnterResults1->trigger();
}

void LadderSeason::Play(const ScriptLine& line) {
    const std::string& op = line.Op();
    if (op == "sample") {
        MainForm->SampleData1->trigger();
    } else if (op == "open" || op == "reopen") {
        files.Answer(op == "open" ? folder + "/" + line.Arg(1) : scratch.File("saved.lad"));
        MainForm->Open1->trigger();
    } else if (op == "add") {
        AddPlayer(line);
    } else if (op == "box") {
        boxes.Expect(line.Arg(1), line.Arg(2), Flags(line.Arg(1)),
                     line.Arg(3) == "Cancel" ? IDCANCEL : IDOK);
    } else if (op == "result") {
        EnterResult(line);
    } else if (op == "post") {
        MainForm->PostResults1->trigger();
    } else if (op == "issue") {
        MainForm->GenerateIssue1->trigger();
    } else if (op == "html") {
        files.Answer(scratch.File("report.html"));
        MainForm->PrinttoHTML1->trigger();
    } else if (op == "saveas") {
        files.Answer(scratch.File("saved.lad"));
        MainForm->SaveAs1->trigger();
    } else {
        ADD_FAILURE() << "unknown script line " << line.Text();
    }
}

} // namespace

TEST_P(LadderSeason, EndsInItsGoldenFiles) {
    for (const ScriptLine& line : ScriptLines(ReadFile(folder + "/script"))) {
        SCOPED_TRACE(line.Text());
        Play(line);
        if (HasFatalFailure()) return;
    }
    CompareGolden(folder + "/standings.txt", Standings());
    CompareGolden(folder + "/saved.lad", ReadFile(scratch.File("saved.lad")));
    CompareGolden(folder + "/report.html", ReadFile(scratch.File("report.html")));
}

INSTANTIATE_TEST_SUITE_P(Seasons, LadderSeason, testing::ValuesIn(GoldenCases(kSeasons)),
                         GoldenCaseName);
