#pragma once
// The prompt a person answers: message boxes, the input box and the
// platform's file and folder dialogs. The program's main gives it to the
// administration's environment.
#include <memory>

#include "admin/core/Prompt.h"

std::shared_ptr<Prompt> dialogPrompt();
