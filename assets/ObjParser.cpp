#include "assets/ObjParser.h"

#include "app/FatalError.h"
#include "app/HeapTuning.h"
#include "assets/DataFile.h"
#include "assets/ModelLoader.h"
#include "assets/PhaseTimer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t MAX_TOKENS = 4; // no accepted line has more
using Tokens = std::array<std::string_view, MAX_TOKENS>;

// Calls visit(piece) for every piece between delimiters, the way a stream read
// with getline sees them: empty pieces kept, no empty piece after a final
// delimiter. Stops early when visit returns false.
template <typename Visit>
void forEachPiece(std::string_view text, char delimiter, Visit visit) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (!visit(text.substr(start, end - start))) {
            return;
        }
        start = end + 1;
    }
}

// Keeps the first N pieces and returns how many there are in all, so that lines
// with too many tokens are recognised without storing them. Same pieces as forEachPiece.
template <size_t N>
size_t splitInto(std::string_view text, char delimiter, std::array<std::string_view, N>& pieces) {
    size_t count = 0;
    const char* start = text.data();
    const char* const end = start + text.size();
    for (const char* p = start; p != end; ++p) {
        if (*p != delimiter) {
            continue;
        }
        if (count < N) {
            pieces[count] = std::string_view(start, size_t(p - start));
        }
        ++count;
        start = p + 1;
    }
    if (start != end) {
        if (count < N) {
            pieces[count] = std::string_view(start, size_t(end - start));
        }
        ++count;
    }
    return count;
}

// strtod and strtol need a terminated string; tokens fit on the stack, and only
// an absurdly long one costs an allocation.
class TerminatedToken {
public:
    explicit TerminatedToken(std::string_view token) {
        if (token.size() < sizeof(buffer)) {
            std::memcpy(buffer, token.data(), token.size());
            buffer[token.size()] = '\0';
            text = buffer;
        } else {
            longToken.assign(token);
            text = longToken.c_str();
        }
    }
    TerminatedToken(const TerminatedToken&) = delete;
    TerminatedToken& operator=(const TerminatedToken&) = delete;

    const char* c_str() const { return text; }

private:
    char buffer[64];
    std::string longToken;
    const char* text = nullptr;
};

// from_chars reads the same digits as strtod and strtol when a token starts with a
// digit, a point or a minus sign (and is not hexadecimal), without copying it.
// Everything else (leading white space, a plus sign, hex, inf and nan, out-of-range
// values) goes the slow way, so the results stay exactly strtod's and strtol's.
bool isPlainNumber(std::string_view token) {
    const size_t first = token.size() > 1 && token[0] == '-' ? 1 : 0;
    if (first >= token.size()) {
        return false;
    }
    const char c = token[first];
    const bool hex = c == '0' && first + 1 < token.size() && (token[first + 1] == 'x' || token[first + 1] == 'X');
    return (c == '.' || (c >= '0' && c <= '9')) && !hex;
}

bool isDigit(char c) { return unsigned(c - '0') < 10u; }

// Every power of ten up to 1e22 is exact in a double.
constexpr double EXACT_POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MAX_EXACT_POWER = 22;
constexpr std::uint64_t MAX_EXACT_MANTISSA = std::uint64_t(1) << 53;
constexpr int MAX_MANTISSA_DIGITS = 19; // still fits 64 bits
constexpr int EXPONENT_CAP = 100000;    // far past any exact case; keeps the sum from overflowing

// Digits from p to the first non-digit. The parser's text always ends in one (a line
// end, or the terminator behind the last line), so no bound is needed. Past 19
// digits the mantissa wraps; the callers count the digits and refuse those.
inline const char* scanDigits(const char* p, std::uint64_t& mantissa) {
    for (;; ++p) {
        const unsigned digit = unsigned(static_cast<unsigned char>(*p)) - '0';
        if (digit > 9) {
            return p;
        }
        mantissa = mantissa * 10 + digit;
    }
}

// Clinger's fast path: a decimal whose digits make an integer m < 2^53 and whose
// power of ten p has |p| <= 22 is m * 10^p or m / 10^-p, one correctly rounded
// operation on two exact doubles, which is the very double strtod returns. Takes
// an optional minus sign, digits with an optional point, an optional exponent, and
// stops where strtod stops; returns nullptr for anything else (hex, inf, nan, a plus
// sign, leading white space, too many digits), which the general reader handles.
// Returns the first character after the number. Like scanDigits it relies on the
// non-digit that ends every line of the parser's text.
inline const char* scanPlainDecimal(const char* p, double& value) {
    const bool negative = *p == '-';
    p += negative;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        return nullptr;
    }
    // Leading zeros count too: a long run of them simply goes the slow way.
    std::uint64_t mantissa = 0;
    const char* const first = p;
    p = scanDigits(p, mantissa);
    long digits = p - first;
    int power = 0;
    if (*p == '.') {
        const char* const fraction = ++p;
        p = scanDigits(p, mantissa);
        digits += p - fraction;
        power = -int(std::min(p - fraction, long(EXPONENT_CAP)));
    }
    if (digits == 0 || digits > MAX_MANTISSA_DIGITS) {
        return nullptr;
    }
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        const bool negativeExponent = *q == '-';
        q += *q == '-' || *q == '+';
        if (isDigit(*q)) {
            int exponent = 0;
            for (; isDigit(*q); ++q) {
                exponent = std::min(exponent * 10 + (*q - '0'), EXPONENT_CAP);
            }
            power += negativeExponent ? -exponent : exponent;
            p = q;
        }
    }
    if (mantissa > MAX_EXACT_MANTISSA || power < -MAX_EXACT_POWER || power > MAX_EXACT_POWER) {
        return nullptr;
    }
    const double magnitude = power < 0 ? double(mantissa) / EXACT_POWERS_OF_TEN[-power]
                                       : double(mantissa) * EXACT_POWERS_OF_TEN[power];
    value = negative ? -magnitude : magnitude;
    return p;
}

// A positive index of up to nine digits, as strtol reads it; returns the first
// character after it, or nullptr for anything else.
const char* scanPlainIndex(const char* p, long& value) {
    constexpr long MAX_DIGITS = 9;
    std::uint64_t magnitude = 0;
    const char* const after = scanDigits(p, magnitude);
    if (after == p || after - p > MAX_DIGITS) {
        return nullptr;
    }
    value = long(magnitude);
    return after;
}

// The rest of a token after its number, which strtod and strtol ignore: up to the
// next space or the line end.
const char* skipToSpace(const char* p, const char* end) {
    while (p != end && *p != ' ') {
        ++p;
    }
    return p;
}

// After the last token of a line: the line ends there, or with one space that
// adds no token.
bool endsLine(const char* p, const char* end) { return p == end || p + 1 == end; }

// strtod narrowed to float: leading white space skipped, trailing characters such
// as a carriage return ignored; false when the token holds no number at all.
bool convertFloat(std::string_view token, float& value) {
    double converted = 0;
    if (!token.empty() && scanPlainDecimal(token.data(), converted)) {
        value = float(converted);
        return true;
    }
    if (isPlainNumber(token) &&
        std::from_chars(token.data(), token.data() + token.size(), converted).ec == std::errc()) {
        value = float(converted);
        return true;
    }
    const TerminatedToken terminated(token);
    char* end = nullptr;
    converted = std::strtod(terminated.c_str(), &end);
    if (end == terminated.c_str()) {
        return false;
    }
    value = float(converted);
    return true;
}

// strtol in base 10. Indices are short: up to 18 digits after an optional minus
// sign are read here; anything longer or unusual goes through strtol itself.
bool convertInteger(std::string_view token, long& value) {
    constexpr int MAX_PLAIN_DIGITS = 18;
    const char* p = token.data();
    const char* const end = p + token.size();
    const bool negative = p != end && *p == '-';
    p += negative;
    const char* const first = p;
    long magnitude = 0;
    for (; p != end && isDigit(*p) && p - first < MAX_PLAIN_DIGITS; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
    }
    if (p != first && (p == end || !isDigit(*p))) {
        value = negative ? -magnitude : magnitude;
        return true;
    }
    const TerminatedToken terminated(token);
    char* stop = nullptr;
    const long converted = std::strtol(terminated.c_str(), &stop, 10);
    if (stop == terminated.c_str()) {
        return false;
    }
    value = converted;
    return true;
}

// The least room a list grows to, in entries.
constexpr size_t SMALLEST_ROOM = 4096;

// Reserves room for `count` entries. Where the room spans whole 2 MB pages, asks the
// kernel to back it with them: with 4 KB pages every first touch of a page is a
// fault, and on a large model the faults cost more than the parsing.
template <typename T>
void reserveLarge(std::vector<T>& list, size_t count) {
    list.reserve(count);
    adviseHugePages(list.data(), count * sizeof(T));
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// One pass over the text, which may arrive in pieces. Each line handler returns
// false with `reason` set when the line is malformed; the first such line ends the parse.
class Parser {
public:
    // Parses the lines that text completes, and with `last` a final line without a
    // line end too; the lines are those of forEachPiece(text, '\n', ...). Returns the
    // bytes used; the caller passes the rest again with more text behind it. The
    // character behind the text must be readable and no digit: the number readers
    // run to the first non-digit without checking for the end.
    size_t parseLines(std::string_view text, bool last) {
        const char* const begin = text.data();
        const char* const end = begin + text.size();
        const char* line = begin;
        while (line < end && result.ok()) {
            const void* newline = std::memchr(line, '\n', size_t(end - line));
            if (!newline && !last) {
                break;
            }
            const char* lineEnd = newline ? static_cast<const char*>(newline) : end;
            ++lineNumber;
            if (!parseLine(std::string_view(line, size_t(lineEnd - line)))) {
                result.errorLine = lineNumber;
                result.error = reason;
            }
            line = lineEnd + 1;
        }
        return size_t(std::min(line, end) - begin);
    }

    bool failed() const { return !result.ok(); }

    ObjParseResult finish() {
        if (result.ok()) {
            result.data = std::move(data);
        }
        return std::move(result);
    }

private:
    bool parseLine(std::string_view line) {
        return readCleanLine(line.data(), line.data() + line.size()) || parseAnyLine(line);
    }

    // The common forms in one sweep: single spaces, numbers the fast readers take,
    // indices in range. Anything else returns false having changed nothing, and the
    // line goes the general way, which reaches the same result or names the error.
    bool readCleanLine(const char* p, const char* end) {
        if (end - p < 2) {
            return false;
        }
        if (p[0] == 'f' && p[1] == ' ') {
            return readCleanFace(p + 2, end);
        }
        if (p[0] != 'v') {
            return false;
        }
        if (p[1] == ' ') {
            return !arraysSized && readCleanNumbers(p + 2, end, 3, data.positions);
        }
        if (end - p < 3 || p[2] != ' ') {
            return false;
        }
        if (p[1] == 't') {
            return readCleanNumbers(p + 3, end, 2, textureList);
        }
        return p[1] == 'n' && readCleanNumbers(p + 3, end, 3, normalList);
    }

    bool readCleanNumbers(const char* p, const char* end, size_t count, std::vector<float>& list) {
        float values[3] = {};
        for (size_t i = 0; i < count; ++i) {
            double value = 0;
            const char* after = scanPlainDecimal(p, value);
            if (!after) {
                return false;
            }
            values[i] = float(value);
            p = skipToSpace(after, end);
            if (i + 1 < count) {
                if (p == end) {
                    return false;
                }
                ++p;
            }
        }
        if (!endsLine(p, end)) {
            return false;
        }
        makeRoom(list, count);
        for (size_t i = 0; i < count; ++i) {
            list.push_back(values[i]);
        }
        return true;
    }

    bool readCleanFace(const char* p, const char* end) {
        long corners[3][3] = {};
        for (int corner = 0; corner < 3; ++corner) {
            for (int part = 0; part < 3; ++part) {
                p = scanPlainIndex(p, corners[corner][part]);
                if (!p) {
                    return false;
                }
                if (part < 2) {
                    if (p == end || *p != '/') {
                        return false;
                    }
                    ++p;
                }
            }
            p = skipToSpace(p, end); // a fourth part of a corner is not read
            if (corner < 2) {
                if (p == end) {
                    return false;
                }
                ++p;
            }
        }
        const long available[3] = {long(data.positions.size() / 3), long(textureList.size() / 2),
                                   long(normalList.size() / 3)};
        if (!endsLine(p, end)) {
            return false;
        }
        for (const auto& corner : corners) {
            for (int part = 0; part < 3; ++part) {
                if (corner[part] < 1 || corner[part] > available[part]) {
                    return false;
                }
            }
        }
        sizeArraysOnce();
        makeRoom(data.indices, 3);
        for (const auto& corner : corners) {
            storeCorner(size_t(corner[0] - 1), size_t(corner[1] - 1), size_t(corner[2] - 1));
        }
        return true;
    }

    bool parseAnyLine(std::string_view line) {
        Tokens tokens;
        const size_t count = splitInto(line, ' ', tokens);
        if (count == 0) {
            return true;
        }
        const std::string_view keyword = tokens[0];
        if (keyword == "v" && count == 4) {
            return addPosition(tokens);
        }
        if (keyword == "vt" && count == 3) {
            return appendNumbers(tokens, 2, textureList);
        }
        if (keyword == "vn" && count == 4) {
            return appendNumbers(tokens, 3, normalList);
        }
        if (keyword == "f" && count == 4) {
            return addFace(tokens);
        }
        return true;
    }

    bool addPosition(const Tokens& tokens) {
        // The texture and normal arrays were sized by the position count at the first face.
        if (arraysSized) {
            return fail("position declared after the first face");
        }
        return appendNumbers(tokens, 3, data.positions);
    }

    // Room for `count` more entries. A list's first room is what the lines read so far
    // suggest, and from there it doubles, so its memory follows what the file holds and
    // never the file's size. 2 MB pages are asked for where they fit.
    template <typename T>
    void makeRoom(std::vector<T>& list, size_t count) const {
        if (list.size() + count > list.capacity()) {
            reserveLarge(list, std::max({list.capacity() * 2, firstRoom(list), SMALLEST_ROOM}));
        }
    }

    // Models list their positions first: about as many texture coordinates and normals
    // follow, and a closed surface has about two triangles per vertex.
    size_t firstRoom(const std::vector<float>& list) const {
        const size_t vertices = data.positions.size() / 3;
        return &list == &textureList ? vertices * 2 : &list == &normalList ? vertices * 3 : 0;
    }
    size_t firstRoom(const std::vector<int>&) const { return data.positions.size() / 3 * 6; }

    bool appendNumbers(const Tokens& tokens, size_t count, std::vector<float>& list) {
        float values[3] = {};
        for (size_t i = 0; i < count; ++i) {
            const std::string_view token = tokens[i + 1];
            if (token.empty()) {
                return fail("empty number");
            }
            if (!convertFloat(token, values[i])) {
                return fail(quoted(token) + " is not a number");
            }
        }
        makeRoom(list, count);
        list.insert(list.end(), values, values + count);
        return true;
    }

    bool addFace(const Tokens& tokens) {
        sizeArraysOnce();
        makeRoom(data.indices, 3);
        return addCorner(tokens[1]) && addCorner(tokens[2]) && addCorner(tokens[3]);
    }

    void sizeArraysOnce() {
        if (arraysSized) {
            return;
        }
        const size_t vertexCount = data.positions.size() / 3;
        reserveLarge(data.textureCoords, vertexCount * 2);
        data.textureCoords.resize(vertexCount * 2, 0.0f);
        reserveLarge(data.normals, vertexCount * 3);
        data.normals.resize(vertexCount * 3, 0.0f);
        arraysSized = true;
    }

    // Appends the corner's index and overwrites its vertex's texture coordinate and normal.
    bool addCorner(std::string_view corner) {
        std::array<std::string_view, 3> parts;
        if (splitInto(corner, '/', parts) < 3) {
            return fail("face corner " + quoted(corner) + " does not have all three indices");
        }
        size_t position = 0, texture = 0, normal = 0;
        if (!readIndex(corner, parts[0], "face index", data.positions.size() / 3, "positions", position) ||
            !readIndex(corner, parts[1], "texture index", textureList.size() / 2, "texture coordinates", texture) ||
            !readIndex(corner, parts[2], "normal index", normalList.size() / 3, "normals", normal)) {
            return false;
        }
        storeCorner(position, texture, normal);
        return true;
    }

    // 0-based indices, already checked against their lists.
    void storeCorner(size_t position, size_t texture, size_t normal) {
        data.indices.push_back(int(position));
        // Element by element: a copy call for five floats costs more than the copy.
        float* const coords = &data.textureCoords[position * 2];
        coords[0] = textureList[texture * 2];
        coords[1] = textureList[texture * 2 + 1];
        float* const vector = &data.normals[position * 3];
        vector[0] = normalList[normal * 3];
        vector[1] = normalList[normal * 3 + 1];
        vector[2] = normalList[normal * 3 + 2];
    }

    // A 1-based index into a list of `available` entries, returned 0-based.
    bool readIndex(std::string_view corner, std::string_view token, const char* name, size_t available,
                   const char* listName, size_t& index) {
        if (token.empty()) {
            return fail("face corner " + quoted(corner) + " has an empty " + name);
        }
        long value = 0;
        if (!convertInteger(token, value)) {
            return fail("face corner " + quoted(corner) + " has a " + std::string(name) + " that is not a number");
        }
        if (value <= 0) {
            return fail(std::string(name) + " " + std::to_string(value) + " is not positive");
        }
        if (static_cast<unsigned long>(value) > available) {
            return fail(std::string(name) + " " + std::to_string(value) + " is past the " +
                        std::to_string(available) + " " + listName);
        }
        index = size_t(value) - 1;
        return true;
    }

    bool fail(std::string why) {
        reason = std::move(why);
        return false;
    }

    ObjParseResult result;
    int lineNumber = 0;
    ObjData data;
    std::vector<float> textureList; // u, v per "vt" line
    std::vector<float> normalList;  // x, y, z per "vn" line
    bool arraysSized = false;
    std::string reason;
};

// Small enough to stay in the cache while it is parsed; a longer line makes it grow.
constexpr size_t CHUNK_BYTES = size_t(256) << 10;

// Room for the terminator behind the text.
constexpr size_t TAIL_BYTES = 1;

// Feeds the parser from `read` (which fills up to `room` bytes at `into` and returns
// how many, 0 at the end) through one buffer that ends every piece with a terminator.
template <typename Read>
ObjParseResult parsePieces(Read read) {
    Parser parser;
    std::vector<char> buffer(CHUNK_BYTES + TAIL_BYTES);
    size_t filled = 0;
    for (;;) {
        const size_t count = read(buffer.data() + filled, buffer.size() - TAIL_BYTES - filled);
        filled += count;
        buffer[filled] = '\0';
        const bool last = count == 0;
        const size_t used = parser.parseLines(std::string_view(buffer.data(), filled), last);
        if (last || parser.failed()) {
            break;
        }
        std::memmove(buffer.data(), buffer.data() + used, filled - used);
        filled -= used;
        if (filled == buffer.size() - TAIL_BYTES) {
            buffer.resize(buffer.size() * 2); // one line longer than the buffer
        }
    }
    return parser.finish();
}

}

ObjParseResult parseObj(std::string_view text) {
    size_t offset = 0;
    return parsePieces([&](char* into, size_t room) {
        const size_t count = std::min(room, text.size() - offset);
        std::memcpy(into, text.data() + offset, count);
        offset += count;
        return count;
    });
}

// Read in pieces into one small buffer: copying the whole file into fresh memory,
// or even mapping it, costs more than the parsing, because every new page is a fault.
bool parseObjFile(const std::string& path, ObjParseResult& result) {
    if (!DataFile::refusal(path).empty()) {
        return false;
    }
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    int readError = 0;
    result = parsePieces([descriptor, &readError](char* into, size_t room) {
        for (;;) {
            const ssize_t count = ::read(descriptor, into, room);
            if (count >= 0) {
                return size_t(count);
            }
            if (errno != EINTR) {
                readError = errno;
                return size_t(0);
            }
        }
    });
    close(descriptor);
    if (readError != 0) {
        // Half a file is not a model: report the read error as an open failure.
        errno = readError;
        return false;
    }
    return true;
}

Mesh* readObjModel(const std::string& path, ModelLoader& loader) {
    const PhaseTimer timer(Phase::MODELS);
    ObjParseResult parsed;
    bool readable = false;
    try {
        readable = parseObjFile(path, parsed);
    } catch (const std::bad_alloc&) {
        fatalOutOfMemory(path);
    }
    if (!readable) {
        DataFile::printWhyUnreadable(path);
        fatalError("Failed to open " + path);
    }
    if (!parsed.ok()) {
        fatalError(path + ":" + std::to_string(parsed.errorLine) + ": " + parsed.error);
    }
    const ObjData& data = parsed.data;
    return loader.uploadMesh(data.positions, data.textureCoords, data.normals, data.indices);
}

std::vector<std::string> splitString(const std::string& text, char delimiter) {
    std::vector<std::string> pieces;
    forEachPiece(text, delimiter, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
    });
    return pieces;
}
