#include "app/preview/train_pictures.h"

namespace zielwerk {

void LoadStandardPictures() {}
void ApplyPictureSetting(const std::string&) {}
void ShowTrainPicture(ControlEventKind) {}
void LoadTrainPictureCommand() {}

}  // namespace zielwerk
