// How long the player grid takes to refill: 800 doubles players are 1,602
// rows of 7 columns, which must refill well inside one frame (5 ms).

#include "platform/widgets/Grid.h"
#include "platform/widgets/PainterCanvas.h"
#include "tests/support/FullEvents.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 1602;
constexpr int kCols = 7;

// Texts of the shape the player grid shows.
std::vector<std::string> PlayerTexts() {
    std::vector<std::string> texts;
    texts.reserve(kRows * kCols);
    for (int r = 0; r < kRows; ++r) {
        texts.push_back(r % 2 ? std::to_string(r / 2 + 1) : "");
        texts.push_back(std::to_string(r % 17));
        texts.push_back(std::to_string(r % 9) + "-" + std::to_string(r % 7));
        texts.push_back("Firstname" + std::to_string(r) + " Lastname" + std::to_string(r));
        texts.push_back("(555) 123-" + std::to_string(1000 + r));
        texts.push_back("(555) 987-" + std::to_string(1000 + r));
        texts.push_back("player" + std::to_string(r) + "@example.org");
    }
    return texts;
}

void Fill(Grid& grid, const std::vector<std::string>& texts) {
    grid.SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            grid.SetCell(c, r, texts[r * kCols + c]);
    grid.SetSelection(GridRect());
}

Grid& ShownGrid() {
    static Grid* grid = [] {
        auto* g = new Grid;
        g->SetColCount(kCols);
        g->SetDefaultRowHeight(18);
        g->resize(630, 223);
        g->show();
        QApplication::processEvents();
        return g;
    }();
    return *grid;
}

// The grid already has its rows: every cell gets a new text.
void RefillSameShape(benchmark::State& state) {
    const std::vector<std::string> texts = PlayerTexts();
    Grid& grid = ShownGrid();
    Fill(grid, texts);
    for (auto _ : state) {
        Fill(grid, texts);
        QApplication::processEvents(); // the repaint that follows
    }
}
BENCHMARK(RefillSameShape)->Unit(benchmark::kMillisecond);

// From an empty list to 800 doubles players, as after opening a file.
void RefillFromEmpty(benchmark::State& state) {
    const std::vector<std::string> texts = PlayerTexts();
    Grid& grid = ShownGrid();
    for (auto _ : state) {
        state.PauseTiming();
        grid.SetRowCount(2);
        QApplication::processEvents();
        state.ResumeTiming();
        Fill(grid, texts);
        QApplication::processEvents();
    }
}
BENCHMARK(RefillFromEmpty)->Unit(benchmark::kMillisecond);

// The main window's own refill: texts made from the players and stored.
void FillPlayerGridOfDoublesLadder(benchmark::State& state) {
    ParseCommandLine(Settings, {"-L"});
    TMainForm window({"-L"});
    window.show();
    DestroyCurrentEvent();
    auto* ladder = new Ladder;
    BuildLargestLadder(*ladder);
    CurrentEvent = ladder;
    CurrentLadder = ladder;
    window.FillPlayerGrid();
    QApplication::processEvents();
    for (auto _ : state) {
        window.FillPlayerGrid();
        QApplication::processEvents();
    }
    if (window.PlayerGrid->RowCount() != kRows) state.SkipWithError("wrong row count");
    DestroyCurrentEvent();
}
BENCHMARK(FillPlayerGridOfDoublesLadder)->Unit(benchmark::kMillisecond);

// The largest draw (800 players, a draw of 1,024: 513 rows of 12 columns)
// in the main window's draw grid, every result entered.
class LargestDrawWindow {
public:
    LargestDrawWindow() : window({"-T"}) {
        window.resize(900, 700);
        window.show();
        DestroyCurrentEvent();
        auto* draw = new Draw;
        BuildFullDraw(*draw);
        CurrentEvent = draw;
        window.RefreshViews();
        QApplication::processEvents();
    }
    ~LargestDrawWindow() { DestroyCurrentEvent(); }
    TMainForm window;
};

// One screenful of the draw grid repainted, as after each key in it.
void RepaintDrawGridScreen(benchmark::State& state) {
    LargestDrawWindow shown;
    Grid& grid = *shown.window.DrawGrid;
    for (auto _ : state) {
        grid.viewport()->repaint();
    }
    if (grid.RowCount() != 513 || grid.ColCount() != 12) state.SkipWithError("wrong grid shape");
}
BENCHMARK(RepaintDrawGridScreen)->Unit(benchmark::kMillisecond);

// Every cell of the draw painted once, as a scroll through the whole draw
// would paint it.
void PaintEveryCellOfTheLargestDraw(benchmark::State& state) {
    LargestDrawWindow shown;
    Grid& grid = *shown.window.DrawGrid;
    QImage image(125, 36, QImage::Format_RGB32);
    for (auto _ : state) {
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < grid.ColCount(); ++c) {
                QPainter painter(&image);
                painter.setFont(grid.font());
                PainterCanvas canvas(painter);
                grid.OnDrawCell(canvas, c, r, {0, 0, grid.ColWidth(c), grid.RowHeight(r)}, 0);
            }
    }
}
BENCHMARK(PaintEveryCellOfTheLargestDraw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
