#pragma once
// The number check of password and setting inputs.
#include <QString>
#include <functional>

// True for the empty text, otherwise only for a non-negative whole number
// without "." that lies within [minimum, maximum] unless both are 0.
bool MyIsNumber(const QString& text, qint32 minimum = 0, qint32 maximum = 0);

// Where "Error in MyIsNumber function:" + description goes when the check
// itself fails (the administration shows it in a message box).
void SetMyIsNumberErrorSink(std::function<void(const QString&)> sink);
