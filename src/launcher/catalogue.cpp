#include <stddef.h>
#include "launcher/catalogue.h"
#include "resource.h"

const char TEMP_COPY_NAME[] = "~QBX4.tmp";

// The rows themselves are data shared with the project's tools.
const TitleRow titleCatalogue[TITLE_COUNT] = {
#define TITLE(...) { __VA_ARGS__ },
#include "launcher/titles.inc"
#undef TITLE
};
