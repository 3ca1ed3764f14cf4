#include "assets/ObjParser.h"

#include "assets/DataFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Every line handed to the readers below is followed by a readable '\n' at its end (its
// own line end, or one the parser puts behind the text), so a loop that runs while it
// sees what a line end is not (digits, white space) needs no bound check.
constexpr char LINE_END = '\n';

// The tokenizer. A line's tokens are its pieces between spaces, and a face corner's
// indices are its pieces between slashes, the way a getline loop sees pieces: empty
// ones kept, none after a final delimiter. A piece starts after its delimiter and
// ends at the next one, at a space (no piece holds one) or at the line end.
// What ends a piece, by character: one table look-up per character.
enum PieceEnd : unsigned char { ENDS_TOKEN = 1, ENDS_INDEX = 2 };
struct PieceEnds {
    unsigned char of[256] = {};
    constexpr PieceEnds() {
        of[unsigned(' ')] = of[unsigned(LINE_END)] = ENDS_TOKEN | ENDS_INDEX;
        of[unsigned('/')] = ENDS_INDEX;
    }
};
constexpr PieceEnds PIECE_ENDS;

// A token (between spaces) or an index (between slashes) ends at `kind`'s delimiter,
// a space or the line end.
inline const char* endOfPiece(const char* p, PieceEnd kind) {
    while (!(PIECE_ENDS.of[static_cast<unsigned char>(*p)] & kind)) {
        ++p;
    }
    return p;
}

// The start of the piece after the one that ends at `at`, or nullptr when none follows.
inline const char* nextPiece(const char* at, const char* end) {
    return end - at > 1 ? at + 1 : nullptr;
}

// The number reader, for coordinates and indices alike. A token is read as strtod and
// strtol read it in the C locale: leading white space, one sign, then the number, and
// the rest of the token ignored. from_chars converts exactly as strtod does; what it
// does not take is read here: the white space, a plus sign, the extent of a
// hexadecimal number after its "0x", the value of a number out of range and the
// payload of a NaN.

inline bool isDigit(char c) {
    return unsigned(c - '0') < 10u;
}
bool isHexDigit(char c) {
    return isDigit(c) || unsigned((c | 0x20) - 'a') < 6u;
}

// Adds the digits from p on to `value` and returns the first character after them,
// at the latest the line end. Past 19 digits the value wraps; callers that care count
// the digits.
inline const char* addDigits(const char* p, std::uint64_t& value) {
    std::uint64_t sum = value;
    for (;; ++p) {
        const unsigned digit = unsigned(static_cast<unsigned char>(*p)) - '0';
        if (digit > 9) {
            value = sum;
            return p;
        }
        sum = sum * 10 + digit;
    }
}

// The white space strtod and strtol skip; a token holds no space and no line end.
bool isSkippedSpace(char c) {
    return c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Skips white space and one sign. The sign's digits come next, and a second sign
// makes no number.
inline const char* skipSpaceAndSign(const char* p, bool& negative) {
    negative = false;
    if (isDigit(*p)) {
        return p;
    }
    while (isSkippedSpace(*p)) {
        ++p;
    }
    negative = *p == '-';
    p += *p == '-' || *p == '+';
    return p;
}

// Saturates far past any exponent that matters, so that long runs of digits cannot overflow.
constexpr long SCALE_CAP = 1L << 40;

// from_chars leaves a number out of range unset, where strtod gives infinity for a
// magnitude too large and zero (or a subnormal, zero anyway as a float) for one too
// small. Which it is follows from the power of the first significant digit;
// [first, last) is the number without its sign.
double outOfRangeMagnitude(const char* first, const char* last, bool hex) {
    const auto isNumberDigit = [hex](char c) { return hex ? isHexDigit(c) : isDigit(c); };
    const long digitPower = hex ? 4 : 1;
    const char* p = first;
    while (p != last && *p == '0') {
        ++p;
    }
    long scale = 0;
    long leadingDigits = 0;
    for (; p != last && isNumberDigit(*p); ++p) {
        leadingDigits = std::min(leadingDigits + 1, SCALE_CAP);
    }
    if (leadingDigits > 0) {
        scale = (leadingDigits - 1) * digitPower;
    } else if (p != last && *p == '.') {
        long zeros = 0;
        for (++p; p != last && *p == '0'; ++p) {
            zeros = std::min(zeros + 1, SCALE_CAP);
        }
        scale = -(zeros + 1) * digitPower;
    }
    p = std::find_if(p, last, [hex](char c) { return hex ? c == 'p' || c == 'P' : c == 'e' || c == 'E'; });
    if (p != last) {
        const bool negativeExponent = *++p == '-';
        p += *p == '-' || *p == '+';
        long exponent = 0;
        for (; p != last; ++p) {
            exponent = std::min(exponent * 10 + (*p - '0'), SCALE_CAP);
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    return scale > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// strtod sets the bits of "nan(n)" from n (read as strtoull reads it in base 0)
// when n is a number and nothing else; from_chars ignores it.
double nanWithPayload(const char* first, const char* last) {
    const double plain = std::numeric_limits<double>::quiet_NaN();
    if (last[-1] != ')') {
        return plain;
    }
    const char* digits = std::find(first, last, '(') + 1;
    const char* const close = last - 1;
    int base = 10;
    if (close - digits > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits += 2;
    } else if (digits != close && digits[0] == '0') {
        base = 8;
    }
    std::uint64_t payload = 0;
    const auto [end, error] = std::from_chars(digits, close, payload, base);
    if (end != close) {
        return plain;
    }
    if (error == std::errc::result_out_of_range) {
        payload = std::numeric_limits<std::uint64_t>::max();
    }
    constexpr std::uint64_t PAYLOAD_BITS = (std::uint64_t(1) << 51) - 1; // below the quiet bit
    std::uint64_t bits = 0;
    std::memcpy(&bits, &plain, sizeof bits);
    bits |= payload & PAYLOAD_BITS;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The end of the hexadecimal number after a "0x" at p, or p when there is none:
// digits with at most one point, then maybe "p", a sign and a decimal exponent.
// from_chars gets the number alone, since it takes some exponents strtod refuses.
const char* endOfHexNumber(const char* p) {
    const char* const first = p;
    while (isHexDigit(*p)) {
        ++p;
    }
    long digits = p - first;
    if (*p == '.') {
        const char* const fraction = ++p;
        while (isHexDigit(*p)) {
            ++p;
        }
        digits += p - fraction;
    }
    if (digits == 0) {
        return first;
    }
    if (*p == 'p' || *p == 'P') {
        const char* q = p + 1;
        q += *q == '-' || *q == '+';
        if (isDigit(*q)) {
            while (isDigit(*q)) {
                ++q;
            }
            p = q;
        }
    }
    return p;
}

// Every power of ten up to 1e22 is exact in a double.
constexpr double EXACT_POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr long MAX_EXACT_POWER = 22;
constexpr std::uint64_t MAX_EXACT_MANTISSA = std::uint64_t(1) << 53;
constexpr long MAX_MANTISSA_DIGITS = 19; // still fits 64 bits

// A decimal whose digits make an integer m <= 2^53 and whose power of ten p has
// |p| <= 22 is m * 10^p or m / 10^-p: one correctly rounded operation on two exact
// doubles (Clinger), the very double from_chars gives, at a fraction of its cost.
// Returns nullptr for any other number, which from_chars then reads.
inline const char* readExactDecimal(const char* p, double& magnitude) {
    std::uint64_t mantissa = 0;
    const char* const first = p;
    p = addDigits(p, mantissa);
    long digits = p - first;
    long power = 0;
    if (*p == '.') {
        const char* const fraction = ++p;
        p = addDigits(p, mantissa);
        digits += p - fraction;
        power = -(p - fraction);
    }
    if (digits == 0 || digits > MAX_MANTISSA_DIGITS) {
        return nullptr;
    }
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        const bool negativeExponent = *q == '-';
        q += *q == '-' || *q == '+';
        if (isDigit(*q)) {
            long exponent = 0;
            for (; isDigit(*q); ++q) {
                exponent = std::min(exponent * 10 + (*q - '0'), SCALE_CAP);
            }
            power += negativeExponent ? -exponent : exponent;
            p = q;
        }
    }
    if (mantissa > MAX_EXACT_MANTISSA || power < -MAX_EXACT_POWER || power > MAX_EXACT_POWER) {
        return nullptr;
    }
    magnitude = power < 0 ? double(mantissa) / EXACT_POWERS_OF_TEN[-power]
                          : double(mantissa) * EXACT_POWERS_OF_TEN[power];
    return p;
}

inline bool hasHexPrefix(const char* p) {
    return p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

// readMagnitude for every number; out of line, so that the exact decimals the
// line readers meet almost always cost no call.
[[gnu::noinline]] const char* readAnyMagnitude(const char* p, const char* end, double& magnitude) {
    if (hasHexPrefix(p) && end - p > 2) {
        const char* const last = endOfHexNumber(p + 2);
        if (last != p + 2) {
            if (std::from_chars(p + 2, last, magnitude, std::chars_format::hex).ec != std::errc()) {
                magnitude = outOfRangeMagnitude(p + 2, last, true);
            }
            return last;
        }
        // "0x" without a hexadecimal digit behind it is read as the 0.
    }
    if (const char* const after = readExactDecimal(p, magnitude)) {
        return after;
    }
    const auto [after, error] = std::from_chars(p, end, magnitude);
    if (after == p) {
        return nullptr;
    }
    if (error == std::errc::result_out_of_range) {
        magnitude = outOfRangeMagnitude(p, after, false);
    } else if (magnitude != magnitude) {
        magnitude = nanWithPayload(p, after);
    }
    return after;
}

// The magnitude at p (a decimal, "0x" and a hexadecimal, inf or nan, no sign);
// returns the first character after it, or nullptr when there is none.
inline const char* readMagnitude(const char* p, const char* end, double& magnitude) {
    if (!hasHexPrefix(p)) {
        if (const char* const after = readExactDecimal(p, magnitude)) {
            return after;
        }
    }
    return readAnyMagnitude(p, end, magnitude);
}

// strtod narrowed to float. Returns the first character after the number, or nullptr
// when there is none. A number holds no space or slash, so reading it up to the line's
// end stops inside its token, just where reading the token alone would stop.
inline const char* readFloat(const char* p, const char* end, float& value) {
    bool negative = false;
    p = skipSpaceAndSign(p, negative);
    double magnitude = 0;
    const char* const after = p == end || *p == '-' ? nullptr : readMagnitude(p, end, magnitude);
    if (after) {
        value = float(negative ? -magnitude : magnitude);
    }
    return after;
}

// strtol in base 10, saturating at the limits of long; returns as readFloat does.
inline const char* readInteger(const char* p, long& value) {
    bool negative = false;
    p = skipSpaceAndSign(p, negative);
    const char* const digits = p;
    std::uint64_t magnitude = 0;
    p = addDigits(p, magnitude);
    if (p == digits) {
        return nullptr;
    }
    constexpr long SAFE_DIGITS = 18; // cannot wrap or pass LONG_MAX
    if (p - digits > SAFE_DIGITS) {
        constexpr unsigned long CAP = static_cast<unsigned long>(LONG_MAX) + 1; // LONG_MIN's magnitude
        magnitude = 0;
        for (const char* digit = digits; digit != p; ++digit) {
            magnitude = magnitude <= CAP / 10 ? std::min(magnitude * 10 + unsigned(*digit - '0'), CAP) : CAP;
        }
        if (magnitude == CAP) {
            value = negative ? LONG_MIN : LONG_MAX;
            return p;
        }
    }
    value = negative ? -long(magnitude) : long(magnitude);
    return p;
}

// The least room a list grows to, in entries.
constexpr size_t SMALLEST_ROOM = 4096;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// One pass over the text, which may arrive in pieces, every line read by the same
// rules. Each line handler returns false with `reason` set when the line is
// malformed; the first such line ends the parse.
class Parser {
public:
    // Parses the lines that text completes, and with `last` a final line without a
    // line end too; the lines are the text's pieces between line ends. Returns the
    // bytes used; the caller passes the rest again with more text behind it. The
    // character behind the text must be readable and a line end (see LINE_END).
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
            if (!parseLine(line, lineEnd)) {
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
    // A line's tokens are its pieces between spaces. Lines with other keywords, or with
    // a token count other than the keyword's, are skipped.
    bool parseLine(const char* p, const char* end) {
        const char* const keywordEnd = endOfPiece(p, ENDS_TOKEN);
        const auto length = keywordEnd - p;
        if (length == 1) {
            if (p[0] == 'v') {
                return addNumbers<3>(keywordEnd, end, data.positions);
            }
            if (p[0] == 'f') {
                return addFace(keywordEnd, end);
            }
        } else if (length == 2 && p[0] == 'v') {
            if (p[1] == 't') {
                return addNumbers<2>(keywordEnd, end, textureList);
            }
            if (p[1] == 'n') {
                return addNumbers<3>(keywordEnd, end, normalList);
            }
        }
        return true;
    }

    // The COUNT number tokens after the keyword that ends at `at`. Each is read where
    // it starts, and the token goes on to the next space.
    template <size_t COUNT>
    bool addNumbers(const char* at, const char* end, std::vector<float>& list) {
        float values[COUNT] = {};
        const char* badToken = nullptr; // the first token that holds no number
        std::string_view badText;
        for (size_t i = 0; i < COUNT; ++i) {
            const char* const token = nextPiece(at, end);
            if (!token) {
                return true;
            }
            const char* const after = readFloat(token, end, values[i]);
            at = endOfPiece(after ? after : token, ENDS_TOKEN);
            if (!after && !badToken) {
                badToken = token;
                badText = std::string_view(token, size_t(at - token));
            }
        }
        if (nextPiece(at, end)) {
            return true;
        }
        // The texture and normal arrays were sized by the position count at the first face.
        if (&list == &data.positions && arraysSized) {
            return fail("position declared after the first face");
        }
        if (badToken) {
            return fail(badText.empty() ? "empty number" : quoted(badText) + " is not a number");
        }
        makeRoom(list, COUNT);
        for (const float value : values) {
            list.push_back(value);
        }
        return true;
    }

    // The three corner tokens after the keyword that ends at `at`, checked and stored in turn.
    bool addFace(const char* at, const char* end) {
        Corner corners[3];
        for (Corner& corner : corners) {
            const char* const token = nextPiece(at, end);
            if (!token) {
                return true;
            }
            at = readCorner(token, corner);
        }
        if (nextPiece(at, end)) {
            return true;
        }
        sizeArraysOnce();
        // The lists do not change within a face, so one check of each corner in turn
        // finds the same first error as checking and storing corner by corner.
        const size_t available[3] = {data.positions.size() / 3, textureList.size() / 2, normalList.size() / 3};
        for (const Corner& corner : corners) {
            if (!checkCorner(corner, available)) {
                return false;
            }
        }
        makeRoom(data.indices, 3);
        for (const Corner& corner : corners) {
            storeCorner(size_t(corner.indices[0].value - 1), size_t(corner.indices[1].value - 1),
                        size_t(corner.indices[2].value - 1));
        }
        return true;
    }

    // Room for `count` more entries. A list's first room is what the lines read so far
    // suggest, and from there it doubles, so its memory follows what the file holds and
    // never the file's size.
    template <typename T>
    void makeRoom(std::vector<T>& list, size_t count) const {
        if (list.size() + count > list.capacity()) {
            list.reserve(std::max({list.capacity() * 2, firstRoom(list), SMALLEST_ROOM}));
        }
    }

    // Models list their positions first: about as many texture coordinates and normals
    // follow, and a closed surface has about two triangles per vertex.
    size_t firstRoom(const std::vector<float>& list) const {
        const size_t vertices = data.positions.size() / 3;
        return &list == &textureList ? vertices * 2 : &list == &normalList ? vertices * 3 : 0;
    }
    size_t firstRoom(const std::vector<int>&) const { return data.positions.size() / 3 * 6; }

    void sizeArraysOnce() {
        if (arraysSized) {
            return;
        }
        const size_t vertexCount = data.positions.size() / 3;
        data.textureCoords.resize(vertexCount * 2, 0.0f);
        data.normals.resize(vertexCount * 3, 0.0f);
        arraysSized = true;
    }

    struct Index {
        long value;
        const char* start; // where its piece starts
        bool isNumber;
    };

    struct Corner {
        std::string_view text;
        int indexCount; // up to three
        Index indices[3];
    };

    // Reads the corner token at `token`: its pieces between slashes are its indices, each
    // read where it starts; a fourth is not read. Returns the token's end.
    static const char* readCorner(const char* token, Corner& corner) {
        corner.indexCount = 0;
        const char* at = token;
        for (const char* part = token; corner.indexCount < 3; part = at + 1) {
            Index& index = corner.indices[corner.indexCount++];
            index.start = part;
            index.value = 0; // refused below when no number is read
            const char* const after = readInteger(part, index.value);
            index.isNumber = after != nullptr;
            at = endOfPiece(after ? after : part, ENDS_INDEX);
            // The token ends here, or with a final slash that starts no piece.
            if (*at != '/' || at[1] == ' ' || at[1] == LINE_END) {
                break;
            }
        }
        at = endOfPiece(at, ENDS_TOKEN);
        corner.text = std::string_view(token, size_t(at - token));
        return at;
    }

    // True when the corner has three indices, each a number within its list of
    // `available` entries (positions, texture coordinates, normals).
    bool checkCorner(const Corner& corner, const size_t (&available)[3]) {
        if (corner.indexCount < 3) {
            return fail("face corner " + quoted(corner.text) + " does not have all three indices");
        }
        for (int i = 0; i < 3; ++i) {
            const Index& index = corner.indices[i];
            // 1 to `available`; 0 and negative values wrap to beyond any list.
            if (static_cast<unsigned long>(index.value) - 1 >= available[i]) {
                return failIndex(corner.text, index, i, available[i]);
            }
        }
        return true;
    }

    // Appends a corner's 0-based indices, already checked against their lists, and
    // overwrites its vertex's texture coordinate and normal.
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

    // Why index `which` (0 to 2) of the corner, one of `available` entries, is refused.
    bool failIndex(std::string_view corner, const Index& index, int which, size_t available) {
        const char* const names[3] = {"face index", "texture index", "normal index"};
        const char* const listNames[3] = {"positions", "texture coordinates", "normals"};
        const std::string name = names[which];
        if (*index.start == '/' || *index.start == ' ' || *index.start == LINE_END) {
            return fail("face corner " + quoted(corner) + " has an empty " + name);
        }
        if (!index.isNumber) {
            return fail("face corner " + quoted(corner) + " has a " + name + " that is not a number");
        }
        if (index.value <= 0) {
            return fail(name + " " + std::to_string(index.value) + " is not positive");
        }
        return fail(name + " " + std::to_string(index.value) + " is past the " + std::to_string(available) + " " +
                    listNames[which]);
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

// Feeds the parser from `read` (which fills up to `room` bytes at `into` and returns
// how many, 0 at the end) through one buffer.
template <typename Read>
ObjParseResult parsePieces(Read read) {
    Parser parser;
    std::vector<char> buffer(CHUNK_BYTES + 1); // and a line end behind the text
    size_t filled = 0;
    for (;;) {
        const size_t count = read(buffer.data() + filled, buffer.size() - 1 - filled);
        filled += count;
        buffer[filled] = LINE_END;
        const bool last = count == 0;
        const size_t used = parser.parseLines(std::string_view(buffer.data(), filled), last);
        if (last || parser.failed()) {
            break;
        }
        std::memmove(buffer.data(), buffer.data() + used, filled - used);
        filled -= used;
        if (filled == buffer.size() - 1) {
            buffer.resize((buffer.size() - 1) * 2 + 1); // one line longer than the buffer
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

std::vector<std::string> splitString(const std::string& text, char delimiter) {
    std::vector<std::string> pieces;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find(delimiter, start), text.size());
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}
