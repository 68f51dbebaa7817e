#include "admin/core/Prompt.h"

#include "admin/core/AdminEnv.h"

Prompt& prompt() { return *adminEnv().prompt; }
