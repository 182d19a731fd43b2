// DSC handlers for colours: separation verdict, process inks, custom (spot) colours,
// and the end of a big file's backward trailer pass.
#include <array>
#include <charconv>

#include "analysis/dsc_scanner.h"
#include "analysis/dsc_text.h"

namespace zelk {

void DscScan::ShowColourSummary() {
    a_.HandOffRefresh(&Presenter::ShowColourSummary);
}

void DscScan::OnSeparation(bool separated) {
    a_.Separated = separated;
    a_.SeparationKnown = true;
    ShowColourSummary();
}

void DscScan::OnProcessColours() {
    const std::string value = ReadDscText(a_, a_.ScanPos + kProcessColoursValue, 100);
    if (value.find("atend") != std::string::npos) return;
    static constexpr std::array<std::string_view, 4> kInks{"Cyan", "Magenta", "Yellow", "Black"};
    static constexpr std::array<std::string_view, 4> kInitials{"C, ", "M, ", "Y, ", "K, "};
    std::string list;
    int32_t count = 0;
    for (size_t i = 0; i < kInks.size(); ++i) {
        if (value.find(kInks[i]) != std::string::npos) a_.ProcessInks[i] = true;  // inks only add
        if (!a_.ProcessInks[i]) continue;
        ++count;
        list += kInitials[i];
    }
    list.resize(count > 0 ? static_cast<size_t>(3 * count - 2) : 0);  // drops the last ", "
    a_.ProcessColourCount = count;
    a_.ProcessColourText = " " + list + " ";
    ShowColourSummary();
}

namespace {

// A token of digits and points is a number when it holds a digit; it is read as far as it
// is a decimal real, so '.5' is 0.5 and '1.2.3' is 1.2.
bool TokenValue(const std::string& token, double& value) {
    if (token.find_first_of("0123456789") == std::string::npos) return false;
    value = 0;
    std::from_chars(token.data(), token.data() + token.size(), value);
    return true;
}

std::string ColourName(std::string_view rest) {
    size_t end = rest.find('\n');
    if (end == std::string_view::npos) end = rest.find('\r');
    return CutShort(
        TrimControls(rest.substr(0, end == std::string_view::npos ? rest.size() : end)));
}

}  // namespace

// Reads one colour from `value`, which begins at chunk index `valueStart`; returns the chunk
// index where the next continuation line's "%%+" stands, or 0 when the comment ends here.
int64_t DscScan::ReadOneColour(int64_t valueStart, const std::string& value, bool rgb) {
    const size_t wanted = rgb ? 3 : 4;
    std::array<double, 4> numbers{};
    size_t found = 0, nameFrom = value.size();
    std::string& token = a_.Token;
    token.clear();  // Token may still hold a resource entry; numbers start afresh
    for (size_t i = 0; i < value.size() && found < wanted; ++i) {
        const char c = value[i];
        if (IsDigit(static_cast<uint8_t>(c)) || c == '.') {
            if (token.size() < kShortTextMax) token += c;
            continue;
        }
        double v;
        if (TokenValue(token, v)) {
            numbers[found++] = v;
            nameFrom = i + 1;
        }
        token.clear();
    }
    double v;
    if (found < wanted && TokenValue(token, v)) numbers[found++] = v;  // cut by the value's end
    token.clear();
    if (rgb) numbers[3] = 3.0;  // the mark of an RGB entry

    // The entry is filled before the count includes it, so the colour bar never meets a
    // colour half built; a name met before keeps its first values.
    const int32_t index = a_.SpotColourCount + 1;
    if (index <= kMaxSpotColours) {
        const auto slot = static_cast<size_t>(index);
        a_.SpotColourNames[slot] = ColourName(std::string_view(value).substr(nameFrom));
        a_.SpotColourValues[slot] = numbers;
        bool known = false;
        for (size_t k = 1; k < slot && !known; ++k)
            known = a_.SpotColourNames[k] == a_.SpotColourNames[slot];
        if (!known) a_.SpotColourCount = index;
    }

    // A line break stands in the value only before a "%%+" continuation line.
    const size_t lineBreak = value.find_first_of("\r\n");
    if (lineBreak == std::string::npos) return 0;
    const int64_t at = valueStart + static_cast<int64_t>(lineBreak);
    for (int64_t k = at + 1; k <= at + 2; ++k)
        if (MatchAt(a_, k, "%%+")) return k;
    return 0;
}

void DscScan::OnCustomColour(bool rgb) {
    int64_t start = a_.ScanPos + (rgb ? kRgbColourValue : kCmykColourValue);
    std::string value = ReadDscText(a_, start, 100);
    if (value.find("atend") != std::string::npos || value.size() <= 8) return;
    for (;;) {
        const int64_t next = ReadOneColour(start, value, rgb);
        if (next == 0) break;
        start = next;
        value = ReadDscText(a_, start, 100);
    }
    ShowColourSummary();
}

bool DscScan::OnLastPageTrailer() {
    // Colours in the header or trailer of a big file make reading the rest unnecessary.
    CollectColours = a_.ProcessColourCount + a_.SpotColourCount == 0;
    a_.ResourcesStarted = true;
    return true;
}

void DscScan::OnNeededResources() {
    int64_t start = a_.ScanPos + kResourcesValue;
    std::string value = ReadDscText(a_, start, 80);
    if (value.find("atend") != std::string::npos) return;
    if (value.size() > 3) {
        for (;;) {
            const size_t plus = value.find("%%+");
            const bool last = plus == std::string::npos;
            const size_t k = last ? value.size() + 1 : plus + 1;  // 1-based, as the item ends
            a_.Token = " " + TrimControls(std::string_view(value).substr(0, k - 1));
            a_.NewResources.push_back({a_.Token, !a_.ResourcesStarted});
            a_.ResourcesStarted = true;
            a_.HandOffRefresh(&Presenter::AddNeededResource);
            if (last) break;
            start += static_cast<int64_t>(k) + 3;  // past "%%+" and the blank after it
            value = ReadDscText(a_, start, 80);
        }
    }
    a_.ResourcesStarted = true;
}

}  // namespace zelk
