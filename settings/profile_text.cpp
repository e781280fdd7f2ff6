#include "settings/profile_text.h"

#include <cstdint>

#include "common/utf_conversion.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Where a section and a key stand in the text, as byte offsets.
struct Place {
  bool sectionFound = false;
  bool sectionUsesCrlf = false;
  std::size_t insertAt = 0;  // just past the section's last non-blank line
  bool keyFound = false;
  std::size_t valueBegin = 0;  // the value's bytes, blanks around it excluded
  std::size_t valueEnd = 0;
};

Place Locate(std::string_view text, std::string_view section, std::string_view key) {
  Place place;
  bool inSection = false;
  bool firstSection = false;
  std::size_t pos = text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
  while (pos < text.size()) {
    std::size_t newline = text.find('\n', pos);
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    const std::string_view raw = text.substr(pos, end - pos);
    const std::string_view line = Trim(raw);
    if (!line.empty() && line.front() == '[' && line.find(']') != std::string_view::npos) {
      const std::string_view name = Trim(line.substr(1, line.find(']') - 1));
      firstSection = SameName(name, section) && !place.sectionFound;
      inSection = SameName(name, section);
      if (firstSection) {
        place.sectionFound = true;
        place.sectionUsesCrlf = !raw.empty() && raw.back() == '\r';
        place.insertAt = next;
      }
    } else if (inSection) {
      if (firstSection && !line.empty()) place.insertAt = next;
      const std::size_t equals = raw.find('=');
      if (equals != std::string_view::npos && SameName(Trim(raw.substr(0, equals)), key)) {
        const std::string_view rest = raw.substr(equals + 1);
        const std::string_view value = Trim(rest);
        place.keyFound = true;
        place.valueBegin = value.empty() ? pos + equals + 1 : pos + equals + 1 + (value.data() - rest.data());
        place.valueEnd = place.valueBegin + value.size();
        return place;
      }
    }
    pos = next;
  }
  return place;
}

// The line ending of the file's first line, LF when it has none.
std::string_view FileLineEnding(std::string_view text) {
  const std::size_t newline = text.find('\n');
  return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::optional<std::string_view> FindProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key) {
  const Place place = Locate(text, section, key);
  if (!place.keyFound) return std::nullopt;
  std::string_view value = text.substr(place.valueBegin, place.valueEnd - place.valueBegin);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

int ParseProfileInt(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && IsBlank(value[i])) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  std::uint32_t magnitude = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    magnitude = magnitude * 10u + static_cast<std::uint32_t>(value[i] - '0');
  }
  if (negative) magnitude = 0u - magnitude;
  return static_cast<int>(static_cast<std::int32_t>(magnitude));
}

int ReadProfileInt(std::string_view text, std::string_view section, std::string_view key,
                   int defaultValue) {
  const std::optional<std::string_view> value = FindProfileValue(text, section, key);
  return value ? ParseProfileInt(*value) : defaultValue;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const Place place = Locate(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (place.keyFound) {
    out.append(text.substr(0, place.valueBegin));
    out.append(value);
    out.append(text.substr(place.valueEnd));
    return out;
  }
  if (place.sectionFound) {
    const std::string_view eol = place.sectionUsesCrlf ? "\r\n" : "\n";
    out.append(text.substr(0, place.insertAt));
    if (place.insertAt > 0 && text[place.insertAt - 1] != '\n') out.append(eol);
    out.append(key).append("=").append(value).append(eol);
    out.append(text.substr(place.insertAt));
    return out;
  }
  const std::string_view eol = FileLineEnding(text);
  out.append(text);
  if (!text.empty() && text != kByteOrderMark && text.back() != '\n') out.append(eol);
  out.append("[").append(section).append("]").append(eol);
  out.append(key).append("=").append(value).append(eol);
  return out;
}

std::string DecodeProfileText(std::string_view bytes, ProfileEncoding* encoding) {
  *encoding = ProfileEncoding::kUtf8;
  if (bytes.size() < 2) return std::string(bytes);
  const auto first = static_cast<unsigned char>(bytes[0]);
  const auto second = static_cast<unsigned char>(bytes[1]);
  if (first == 0xFF && second == 0xFE) {
    *encoding = ProfileEncoding::kUtf16Le;
  } else if (first == 0xFE && second == 0xFF) {
    *encoding = ProfileEncoding::kUtf16Be;
  } else {
    return std::string(bytes);
  }
  const bool little = *encoding == ProfileEncoding::kUtf16Le;
  std::u16string units;
  units.reserve(bytes.size() / 2);
  // An odd last byte is no character.
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(little ? a | (b << 8) : (a << 8) | b));
  }
  return Utf16ToUtf8(units);
}

std::string EncodeProfileText(std::string_view text, ProfileEncoding encoding) {
  if (encoding == ProfileEncoding::kUtf8) return std::string(text);
  const bool little = encoding == ProfileEncoding::kUtf16Le;
  std::string bytes;
  for (const char16_t unit : Utf8ToUtf16(std::string(text))) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += little ? low : high;
    bytes += little ? high : low;
  }
  return bytes;
}
