#include "console/plot_view.h"

#include <algorithm>
#include <optional>

#include "console/plot_drawing.h"
#include "console/status_line.h"

namespace quillmore::console {

namespace {

constexpr int kEscape = 27;
constexpr unsigned char kStatusColors = MakeAttribute(kBlack, kCyan);

}  // namespace

void ShowPlots(Console& console, PlotSource& source, int region, int regionCount, int group,
               int groupCount) {
  std::string saved;  // where `s` wrote the figure, until the next event
  for (;;) {
    const TerminalSize size = console.Size();
    Screen screen(std::max(size.rows, kScreenRows), std::max(size.columns, kScreenColumns));
    screen.SetColor(kBrightWhite, kBlack);
    screen.ClearScreen();
    const std::optional<plot::Plot> plot = source.PlotFor(region, group);
    if (plot) {
      DrawPlot(*plot, screen, console.ShowsUnicode());
    } else {
      screen.PutText(2, 2, "Nothing to plot here.", screen.attribute());
    }
    const std::vector<StatusItem> items = {
        {"Left/Right region " + std::to_string(region + 1) + "/" + std::to_string(regionCount),
         "<-> region", 2},
        {"Up/Down form " + std::to_string(group + 1) + "/" + std::to_string(groupCount),
         "Up/Dn form", 1},
        {"q back to the table", "q back", 0}};
    const std::string status = saved.empty() ? FitStatus(items, screen.columns()) : saved;
    screen.PutText(screen.rows(), 1, status.substr(0, static_cast<std::size_t>(screen.columns())),
                   kStatusColors);
    console.Show(screen);

    const InputEvent event = console.ReadEvent();
    saved.clear();
    if (event.kind == EventKind::kClosed) return;
    if (event.kind != EventKind::kKeyPress) continue;
    switch (event.key) {
      case 'q':
      case 'Q':
      case kEscape:
        return;
      case kKeyLeft:
        region = std::max(region - 1, 0);
        break;
      case kKeyRight:
        region = std::min(region + 1, regionCount - 1);
        break;
      case kKeyUp:
        group = std::max(group - 1, 0);
        break;
      case kKeyDown:
        group = std::min(group + 1, groupCount - 1);
        break;
      case 's':
      case 'S':
        if (plot) saved = source.SaveFigure(region, group);
        break;
      default:
        break;
    }
  }
}

}  // namespace quillmore::console
