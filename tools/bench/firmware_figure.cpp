#include "bench/figures.h"

std::optional<Figure> firmwareUploadFigure() { return std::nullopt; }
