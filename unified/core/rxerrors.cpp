#include "unified/core/rxerrors.h"

#include "platform/MessageBox.h"
#include "unified/core/RXEvent.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const std::string EmptyText;

std::string ErrorMessageText(short code) {
    switch (code) {
    case rcCannotOpen:
        return "Error attempting to open file.";
    case rcNoMemory:
        return "Cannot allocate enough memory.";
    case rcBadData:
        return "Bad data in file.";
    case rcPlayerLimit:
        return "Maximum number of players allowed.";
    case rcDuplicateName:
        return "Duplicate player name not allowed.";
    case rcNoName:
        return "Bad data - first or last name must be provided for every player.";
    case rcInternal:
        return "Internal processing error, err=" + std::to_string(code) + ErrorLocation;
    case rcIssueLimit:
        return "No further issue can be generated: the ladder is at the last issue number a "
               "file can hold.";
    case rcDrawExists:
        return "Cannot add/delete players after draw is created.  You must clear the draw "
               "first.";
    case rcNextRoundDecided:
        return "Cannot update result; next round has already been decided.";
    case rcPreviousRoundOpen:
        return "Cannot update result; previous round not yet decided.";
    case rcByeRound:
        return "Cannot update result for a bye round.";
    case rcGenderMissing:
        return "Some gender indications are missing.";
    case rcTooFewRounds:
        return "Too few rounds are planned to allow this many per player.";
    case rcTooFewCourts:
        return "Too few courts are available for round robin schedule.";
    case rcRoundRobinPlayers:
        return "Round robin schedule is supported for only 2 to " + std::to_string(100) +
               " players.";
    case rcDoublesRoundRobinPlayers:
        return "Doubles round robin schedule is supported for only 4 to " + std::to_string(24) +
               " players.";
    case rcRoundRobinNeedsSingles:
        return "Round robin scheduling only applies to singles configuration.";
    case rcRoundRobinNeedsDoubles:
        return "Doubles round robin scheduling only applies to doubles configuration, and number "
               "of players must be a multiple of four.";
    case rcDoublesRoundRobinMultipleOf4:
        return "Number of players must be multiple of 4 for doubles round robin.";
    case rcFixedPartnerMultipleOf2:
        return "Number of players must be multiple of 2 for fixed-partner round robin.";
    default:
        return "Unknown error:  " + std::to_string(code) + ErrorLocation;
    }
}

void ShowErrorMessage(short code) {
    MessageBox(ErrorMessageText(code), "Error", MB_OK | MB_ICONEXCLAMATION);
    ErrorLocation.clear();
}

void ShowDebugMessage(const std::string& text) {
    MessageBox(text, "Debugging", MB_OK | MB_ICONEXCLAMATION);
}

void ShowDebugMessage2(const std::string& a, const std::string& b) {
    ShowDebugMessage(a + "  " + b);
}

int ShowInformation(const std::string& text) {
    return MessageBox(text, "Information", MB_OK | MB_ICONINFORMATION);
}

int ShowWarning(const std::string& text) {
    return MessageBox(text, "Warning", MB_OK | MB_ICONEXCLAMATION);
}

bool AskConfirmation(const std::string& text) {
    return MessageBox(text, "Confirmation", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

std::string IntToTextOrEmpty(int value) {
    return value == 0 ? EmptyText : std::to_string(value);
}

namespace {

constexpr int kMaxPrecision = 15; // the significant digits a double holds

std::string Printf(const char* format, int width, double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format, width, value);
    return buffer;
}

// The decimal exponent of the value once rounded to `precision` digits.
int DecimalExponent(double value, int precision) {
    const std::string e = Printf("%.*e", precision - 1, value);
    return std::atoi(e.c_str() + e.find('e') + 1);
}

// "d.dddE+x": the mantissa with trailing zeros kept or cut, the exponent
// with at least `digits` digits.
std::string ExponentForm(double value, int precision, int digits, bool trimZeros) {
    std::string mantissa = Printf("%.*e", precision - 1, value);
    const int exponent = std::atoi(mantissa.c_str() + mantissa.find('e') + 1);
    mantissa.erase(mantissa.find('e'));
    if (trimZeros && mantissa.find('.') != std::string::npos) {
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    std::string expDigits = std::to_string(std::abs(exponent));
    if (static_cast<int>(expDigits.size()) < digits)
        expDigits.insert(0, static_cast<std::size_t>(digits) - expDigits.size(), '0');
    return mantissa + (exponent < 0 ? "E-" : "E+") + expDigits;
}

std::string WithThousands(const std::string& fixed) {
    const std::size_t start = fixed[0] == '-' ? 1 : 0;
    std::size_t end = fixed.find('.');
    if (end == std::string::npos) end = fixed.size();
    std::string out = fixed.substr(0, start);
    for (std::size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0) out += ',';
        out += fixed[i];
    }
    return out + fixed.substr(end);
}

} // namespace

std::string FormatFloat(double value, FloatFormat format, int precision, int digits) {
    precision = std::clamp(precision, 1, kMaxPrecision);
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    const int exponent = value == 0 ? 0 : DecimalExponent(value, precision);

    switch (format) {
    case FloatFormat::Exponent:
        return ExponentForm(value, precision, std::clamp(digits, 0, 4), false);
    case FloatFormat::General: {
        if (value != 0 && (exponent + 1 > precision || std::fabs(value) < 0.00001))
            return ExponentForm(value, precision, std::clamp(digits, 0, 4), true);
        std::string text = Printf("%.*f", std::max(0, precision - 1 - exponent), value);
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.') text.pop_back();
        }
        return text == "-0" ? "0" : text;
    }
    case FloatFormat::Fixed:
    case FloatFormat::Number: {
        if (value != 0 && exponent + 1 > precision) return ExponentForm(value, precision, 0, false);
        digits = std::clamp(digits, 0, 18);
        // Rounded to the precision first when the decimals ask for more digits.
        double rounded = value;
        if (exponent + 1 + digits > precision)
            rounded = std::strtod(Printf("%.*e", precision - 1, value).c_str(), nullptr);
        const std::string text = Printf("%.*f", digits, rounded);
        return format == FloatFormat::Number ? WithThousands(text) : text;
    }
    }
    return std::string();
}

std::string FloatToTextOrEmpty(double value, FloatFormat format, int precision, int digits) {
    return value == 0 ? EmptyText : FormatFloat(value, format, precision, digits);
}
