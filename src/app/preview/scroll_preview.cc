#include "app/preview/scroll_preview.h"

namespace zielwerk {

void RebuildScrollPreview(ControlEventKind) {}
void TickScrollPreview() {}

}  // namespace zielwerk
