#pragma once
// The program's one table of error messages, the small message boxes that
// every window uses, and the texts that show a zero value as an empty field.

#include "unified/core/RXCode.h"

#include <string>

void ShowErrorMessage(short code);
// The text of the error box for a code (with the error location where the
// message carries it).
std::string ErrorMessageText(short code);

void ShowDebugMessage(const std::string& text);
void ShowDebugMessage2(const std::string& a, const std::string& b);
int ShowInformation(const std::string& text);
int ShowWarning(const std::string& text);
bool AskConfirmation(const std::string& text);

// The text shown for a zero value.
extern const std::string EmptyText;

std::string IntToTextOrEmpty(int value);

// The formats of the formatted float-to-text conversion.
enum class FloatFormat { General, Exponent, Fixed, Number };

// `value` with `precision` significant digits; `digits` is the number of
// decimals (Fixed, Number) or the least number of exponent digits (General,
// Exponent).
std::string FormatFloat(double value, FloatFormat format, int precision, int digits);
std::string FloatToTextOrEmpty(double value, FloatFormat format, int precision, int digits);
