#include "app/preview/scroll_preview.h"

namespace zielwerk {
namespace {
std::string prepared_scroll_text;
}  // namespace

const std::string& PreparedScrollText() { return prepared_scroll_text; }

void RebuildScrollPreview(ControlEventKind) {}
void TickScrollPreview() {}

}  // namespace zielwerk
