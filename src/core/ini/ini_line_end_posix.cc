#include "ini/ini_document.h"

namespace zielwerk {

const std::string_view kIniLineEnd = "\n";

}  // namespace zielwerk
