// SPDX-License-Identifier: GPL-3.0-or-later
// Zielwerk: sets up the destination display of a model-railway passenger car.
#include "app/application.h"

int main(int argc, char** argv) { return zielwerk::RunZielwerk(argc, argv); }
