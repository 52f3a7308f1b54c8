#include "core/MessageTable.h"

const BrandText TxtToolTitle{"", "TORVA ORBICOUNT TOOL", "NOLD QSL Setup Tool"};
