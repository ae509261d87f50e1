#include "editor/document/records.h"
