#include "app/preview/train_pictures.h"

namespace zielwerk {

void LoadStandardPictures() {}
void ShowTrainPicture(ControlEventKind) {}
void LoadTrainPictureCommand() {}

}  // namespace zielwerk
