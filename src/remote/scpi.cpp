#include "remote/scpi.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace scpi {

const char* message(int code) {
    switch (code) {
    case NoError:
        return "No error";
    case CommandError:
        return "Command error";
    case InvalidCharacter:
        return "Invalid character";
    case SyntaxError:
        return "Syntax error";
    case InvalidSeparator:
        return "Invalid separator";
    case DataTypeError:
        return "Data type error";
    case ParameterNotAllowed:
        return "Parameter not allowed";
    case MissingParameter:
        return "Missing parameter";
    case HeaderSeparatorError:
        return "Header separator error";
    case MnemonicTooLong:
        return "Program mnemonic too long";
    case UndefinedHeader:
        return "Undefined header";
    case HeaderSuffixOutOfRange:
        return "Header suffix out of range";
    case NumericDataError:
        return "Numeric data error";
    case InvalidSuffix:
        return "Invalid suffix";
    case SuffixNotAllowed:
        return "Suffix not allowed";
    case CharacterDataTooLong:
        return "Character data too long";
    case InvalidStringData:
        return "Invalid string data";
    case InvalidBlockData:
        return "Invalid block data";
    case ExecutionError:
        return "Execution error";
    case SettingsConflict:
        return "Settings conflict";
    case DataOutOfRange:
        return "Data out of range";
    case TooMuchData:
        return "Too much data";
    case IllegalParameterValue:
        return "Illegal parameter value";
    case DataStale:
        return "Data corrupt or stale";
    case HardwareMissing:
        return "Hardware missing";
    case QueueOverflow:
        return "Queue overflow";
    case InputBufferOverrun:
        return "Input buffer overrun";
    case QueryInterrupted:
        return "Query INTERRUPTED";
    case QueryUnterminated:
        return "Query UNTERMINATED";
    default:
        return "";
    }
}

// ---- Framing ---------------------------------------------------------------------------

void Framer::feed(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        // Block bytes go by the run, everything else byte by byte.
        if (st_ == State::Block || st_ == State::SkipBlock) {
            const size_t n = size_t(std::min<unsigned long long>(remaining_, bytes.size() - i));
            if (st_ == State::Block) cur_.append(bytes.data() + i, n);
            remaining_ -= n;
            i += n;
            if (remaining_ == 0) st_ = st_ == State::Block ? State::Text : State::Skip;
            continue;
        }
        take(bytes[i++]);
    }
}

void Framer::take(char c) {
    started_ = true;
    if (c == '\n' && st_ != State::Digits) {
        finish();
        return;
    }
    switch (st_) {
    case State::Skip:
        return;
    case State::Digits:
        if (c < '0' || c > '9') {
            fail(InvalidBlockData);
            if (c == '\n') finish();
            return;
        }
        cur_ += c;
        len_ = std::min<unsigned long long>(len_ * 10 + unsigned(c - '0'), 1ULL << 40);
        if (--digits_ > 0) return;
        if (len_ > maxBlock_ || blocks_ + len_ > maxBlock_) {
            // Skipped as it arrives, never kept: its bytes are the client's data, not commands.
            fail(TooMuchData);
            remaining_ = len_;
            st_ = remaining_ ? State::SkipBlock : State::Skip;
            return;
        }
        blocks_ += size_t(len_);
        remaining_ = len_;
        st_ = remaining_ ? State::Block : State::Text;
        return;
    case State::Rest: // an indefinite block: every byte to the LF
        if (++blocks_ > maxBlock_) return fail(TooMuchData);
        cur_ += c;
        return;
    case State::Hash:
        if (c >= '0' && c <= '9') {
            if (++text_ > maxText_) return fail(InputBufferOverrun);
            cur_ += c;
            digits_ = c - '0';
            len_ = 0;
            st_ = digits_ == 0 ? State::Rest : State::Digits;
            return;
        }
        st_ = State::Text; // #H1F and the like: text
        break;
    default:
        break;
    }
    if (++text_ > maxText_) return fail(InputBufferOverrun);
    cur_ += c;
    if (st_ == State::Quote) {
        if (c == quote_) st_ = State::Text;
    } else if (c == '"' || c == '\'') {
        quote_ = c;
        st_ = State::Quote;
    } else if (c == '#') {
        st_ = State::Hash;
    } else if (c == '?') {
        query_ = true;
    }
}

void Framer::fail(int code) {
    error_ = code;
    cur_.clear();
    cur_.shrink_to_fit();
    st_ = State::Skip;
}

void Framer::finish() {
    done_.push_back({error_ ? std::string() : std::move(cur_), error_});
    cur_.clear();
    st_ = State::Text;
    started_ = query_ = false;
    text_ = blocks_ = 0;
    error_ = NoError;
}

std::optional<Framed> Framer::next() {
    if (done_.empty()) return std::nullopt;
    Framed f = std::move(done_.front());
    done_.pop_front();
    return f;
}

// ---- Parsing ---------------------------------------------------------------------------

bool Param::operator==(const Param& o) const {
    // Numbers compare by value, so -0 and 0 are one.
    return kind == o.kind && number == o.number && text == o.text && unit == o.unit;
}

bool Command::operator==(const Command& o) const {
    return common == o.common && query == o.query && path == o.path && params == o.params;
}

namespace {

constexpr size_t MaxMnemonic = 12;

bool letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}
// IEEE 488.2 white space: every control character but LF, and the blank.
bool blank(char c) {
    return (unsigned char)c <= 32 && c != '\n';
}
std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        c = char(std::toupper((unsigned char)c));
    return u;
}

struct Failure {
    int code;
    std::string info;
};

class Parser {
  public:
    explicit Parser(std::string_view t) : t_(t) {}

    Message run() {
        Message m;
        std::vector<Node> current; // the path the last command left
        try {
            skip();
            while (p_ < t_.size()) {
                Command c = unit(current);
                skip();
                // A command runs only once it has ended where a command may end.
                if (p_ < t_.size() && t_[p_] != ';')
                    throw Failure{InvalidSeparator, "expected ; or the end"};
                m.commands.push_back(std::move(c));
                if (p_ == t_.size()) break;
                ++p_;
                skip();
            }
        } catch (const Failure& f) {
            m.error = f.code;
            m.info = f.info + " at character " + std::to_string(p_ + 1);
        }
        return m;
    }

  private:
    char at() const { return p_ < t_.size() ? t_[p_] : '\0'; }
    bool end() const { return p_ >= t_.size(); }
    void skip() {
        while (!end() && blank(t_[p_]))
            ++p_;
    }

    // A mnemonic: a letter, then letters, digits and underscores; trailing digits are
    // its numeric suffix.
    Node mnemonic() {
        if (!letter(at())) throw Failure{SyntaxError, "a header needs a letter"};
        const size_t from = p_;
        while (!end() && (letter(t_[p_]) || digit(t_[p_]) || t_[p_] == '_'))
            ++p_;
        std::string_view w = t_.substr(from, p_ - from);
        size_t cut = w.size();
        while (cut > 0 && digit(w[cut - 1]))
            --cut;
        Node n{upper(w.substr(0, cut)), -1};
        if (n.name.size() > MaxMnemonic) throw Failure{MnemonicTooLong, n.name};
        if (cut < w.size()) {
            std::string_view s = w.substr(cut);
            s.remove_prefix(std::min(s.find_first_not_of('0'), s.size() - 1));
            if (s.size() > 6) throw Failure{HeaderSuffixOutOfRange, std::string(w)};
            n.suffix = std::stoi(std::string(s));
        }
        return n;
    }

    Command unit(std::vector<Node>& current) {
        Command c;
        if (at() == '*') {
            ++p_;
            c.common = true;
            Node n = mnemonic();
            if (n.suffix >= 0) throw Failure{UndefinedHeader, "*" + n.name};
            c.path.push_back(std::move(n));
        } else {
            const bool absolute = at() == ':';
            if (absolute) ++p_;
            std::vector<Node> nodes{mnemonic()};
            while (at() == ':') {
                ++p_;
                nodes.push_back(mnemonic());
            }
            c.path = absolute ? std::vector<Node>() : current;
            c.path.insert(c.path.end(), nodes.begin(), nodes.end());
            current.assign(c.path.begin(), c.path.end() - 1);
        }
        if (at() == '?') {
            ++p_;
            c.query = true;
        }
        if (end() || at() == ';') return c;
        if (!blank(at())) throw Failure{HeaderSeparatorError, "a blank must follow the header"};
        skip();
        if (end() || at() == ';') return c;
        while (true) {
            c.params.push_back(param());
            skip();
            if (at() != ',') break;
            ++p_;
            skip();
            if (end() || at() == ';') throw Failure{SyntaxError, "a parameter must follow ,"};
        }
        return c;
    }

    Param param() {
        const char c = at();
        if (digit(c) || c == '+' || c == '-' || c == '.') return decimal();
        if (c == '#') return hash();
        if (c == '"' || c == '\'') return string();
        if (letter(c)) {
            const size_t from = p_;
            while (!end() && (letter(t_[p_]) || digit(t_[p_]) || t_[p_] == '_'))
                ++p_;
            Param w{Param::Kind::Word, 0, upper(t_.substr(from, p_ - from)), {}};
            if (w.text.size() > MaxMnemonic) throw Failure{CharacterDataTooLong, w.text};
            return w;
        }
        if (c == '(') throw Failure{SyntaxError, "expression data are not taken"};
        throw Failure{InvalidCharacter, "unexpected character"};
    }

    Param decimal() {
        const size_t from = p_;
        if (at() == '+' || at() == '-') ++p_;
        size_t mantissa = 0;
        while (digit(at()))
            ++p_, ++mantissa;
        if (at() == '.') {
            ++p_;
            while (digit(at()))
                ++p_, ++mantissa;
        }
        if (mantissa == 0) throw Failure{NumericDataError, "a number needs digits"};
        // The exponent, when an E follows (a blank may stand before it).
        size_t q = p_;
        while (q < t_.size() && blank(t_[q]))
            ++q;
        if (q < t_.size() && (t_[q] == 'E' || t_[q] == 'e')) {
            size_t r = q + 1;
            while (r < t_.size() && blank(t_[r]))
                ++r;
            if (r < t_.size() && (t_[r] == '+' || t_[r] == '-')) ++r;
            if (r < t_.size() && digit(t_[r])) {
                while (r < t_.size() && digit(t_[r]))
                    ++r;
                p_ = r;
            }
        }
        std::string text;
        for (char ch : t_.substr(from, p_ - from))
            if (!blank(ch) && ch != '+') text += ch;
        double v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
            throw Failure{NumericDataError, "a number out of range"};
        Param n{Param::Kind::Number, v, {}, {}};
        // A suffix: letters after the number, with or without a blank between.
        size_t s = p_;
        while (s < t_.size() && blank(t_[s]))
            ++s;
        if (s < t_.size() && letter(t_[s])) {
            p_ = s;
            while (letter(at()))
                ++p_;
            n.unit = upper(t_.substr(s, p_ - s));
            if (n.unit.size() > MaxMnemonic) throw Failure{InvalidSuffix, n.unit};
        }
        return n;
    }

    Param hash() {
        ++p_;
        const char kind = char(std::toupper((unsigned char)at()));
        if (kind == 'H' || kind == 'Q' || kind == 'B') {
            ++p_;
            const int base = kind == 'H' ? 16 : kind == 'Q' ? 8 : 2;
            const size_t from = p_;
            while (!end() && std::isxdigit((unsigned char)t_[p_]))
                ++p_;
            uint64_t v = 0;
            const auto r = std::from_chars(t_.data() + from, t_.data() + p_, v, base);
            if (p_ == from || r.ec != std::errc() || r.ptr != t_.data() + p_)
                throw Failure{NumericDataError, "bad non-decimal number"};
            return {Param::Kind::Number, double(v), {}, {}};
        }
        if (!digit(kind)) throw Failure{InvalidBlockData, "# needs a digit or H, Q, B"};
        const int n = kind - '0';
        ++p_;
        if (n == 0) { // indefinite: the rest of the message
            Param b{Param::Kind::Block, 0, std::string(t_.substr(p_)), {}};
            p_ = t_.size();
            return b;
        }
        if (t_.size() - p_ < size_t(n)) throw Failure{InvalidBlockData, "block length cut short"};
        size_t len = 0;
        for (int i = 0; i < n; ++i, ++p_) {
            if (!digit(t_[p_])) throw Failure{InvalidBlockData, "block length not a number"};
            len = std::min<size_t>(len * 10 + size_t(t_[p_] - '0'), size_t(1) << 40);
        }
        if (t_.size() - p_ < len) throw Failure{InvalidBlockData, "block cut short"};
        Param b{Param::Kind::Block, 0, std::string(t_.substr(p_, len)), {}};
        p_ += len;
        return b;
    }

    Param string() {
        const char q = at();
        ++p_;
        Param s{Param::Kind::String, 0, {}, {}};
        while (true) {
            if (end()) throw Failure{InvalidStringData, "a string without its end"};
            const char c = t_[p_++];
            if (c == q) {
                if (at() != q) break;
                ++p_; // a doubled quote stands for one
            }
            s.text += c;
        }
        return s;
    }

    std::string_view t_;
    size_t p_ = 0;
};

} // namespace

Message parse(std::string_view text) {
    return Parser(text).run();
}

std::string toText(const Command& c) {
    std::string out = c.common ? "*" : "";
    for (size_t i = 0; i < c.path.size(); ++i) {
        if (!c.common) out += ":";
        out += c.path[i].name;
        if (c.path[i].suffix >= 0) out += std::to_string(c.path[i].suffix);
    }
    if (c.query) out += "?";
    for (size_t i = 0; i < c.params.size(); ++i) {
        const Param& p = c.params[i];
        out += i ? "," : " ";
        switch (p.kind) {
        case Param::Kind::Number:
            out += number(p.number) + (p.unit.empty() ? "" : " " + p.unit);
            break;
        case Param::Kind::Word:
            out += p.text;
            break;
        case Param::Kind::String:
            out += quoted(p.text);
            break;
        case Param::Kind::Block:
            out += block(p.text);
            break;
        }
    }
    return out;
}

// ---- The command tree -----------------------------------------------------------------

namespace {

struct PatternNode {
    std::string_view text; // "CHANnel"
    bool optional = false, suffix = false;
};

std::vector<PatternNode> nodesOf(std::string_view pattern) {
    std::vector<PatternNode> out;
    size_t i = pattern.size() && pattern[0] == '*' ? 1 : 0;
    while (i < pattern.size()) {
        PatternNode n;
        if (pattern[i] == '[') {
            n.optional = true;
            ++i;
        }
        if (i < pattern.size() && pattern[i] == ':') ++i;
        const size_t from = i;
        while (i < pattern.size() && pattern[i] != ':' && pattern[i] != '[' && pattern[i] != ']')
            ++i;
        n.text = pattern.substr(from, i - from);
        if (!n.text.empty() && n.text.back() == '#') {
            n.suffix = true;
            n.text.remove_suffix(1);
        }
        if (i < pattern.size() && pattern[i] == ']') ++i;
        out.push_back(n);
    }
    return out;
}

// Whether a name (upper-cased) is the short or the long form of a mnemonic.
bool formOf(std::string_view name, std::string_view mnemonic) {
    size_t shortLen = 0;
    while (shortLen < mnemonic.size() && !std::islower((unsigned char)mnemonic[shortLen]))
        ++shortLen;
    return name == upper(mnemonic) || name == upper(mnemonic.substr(0, shortLen));
}

bool matchFrom(const std::vector<PatternNode>& pat, size_t pi, const std::vector<Node>& path,
               size_t ci, std::vector<int>& suffixes) {
    if (pi == pat.size()) return ci == path.size();
    const PatternNode& n = pat[pi];
    const size_t mark = suffixes.size();
    if (ci < path.size() && formOf(path[ci].name, n.text) && (n.suffix || path[ci].suffix < 0)) {
        if (n.suffix) suffixes.push_back(path[ci].suffix < 0 ? 1 : path[ci].suffix);
        if (matchFrom(pat, pi + 1, path, ci + 1, suffixes)) return true;
        suffixes.resize(mark);
    }
    if (!n.optional) return false;
    if (n.suffix) suffixes.push_back(1);
    if (matchFrom(pat, pi + 1, path, ci, suffixes)) return true;
    suffixes.resize(mark);
    return false;
}

} // namespace

bool matches(std::string_view pattern, const Command& c, std::vector<int>& suffixes) {
    suffixes.clear();
    const bool common = !pattern.empty() && pattern[0] == '*';
    if (common != c.common) return false;
    return matchFrom(nodesOf(pattern), 0, c.path, 0, suffixes);
}

bool isWord(std::string_view word, std::string_view mnemonic, int* suffix) {
    const bool takesSuffix = !mnemonic.empty() && mnemonic.back() == '#';
    if (takesSuffix) mnemonic.remove_suffix(1);
    size_t cut = word.size();
    while (takesSuffix && cut > 0 && digit(word[cut - 1]))
        --cut;
    if (!formOf(word.substr(0, cut), mnemonic)) return false;
    if (suffix) {
        const std::string_view s = word.substr(cut);
        *suffix = 1;
        if (!s.empty()) {
            if (s.size() > 6) return false;
            *suffix = std::stoi(std::string(s));
        }
    }
    return true;
}

// ---- Responses ---------------------------------------------------------------------------

std::string number(double v) {
    if (std::isnan(v)) return "9.91E+37";
    if (std::isinf(v)) return v > 0 ? "9.9E+37" : "-9.9E+37";
    // Whole numbers as such: 2000000, not 2E+06.
    if (v == std::trunc(v) && std::abs(v) < 1e15) return std::to_string((long long)v);
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string out(buf, r.ptr);
    for (char& c : out)
        if (c == 'e') c = 'E';
    return out;
}

std::string block(std::string_view bytes) {
    const std::string len = std::to_string(bytes.size());
    std::string out = "#" + std::to_string(len.size()) + len;
    out.append(bytes.data(), bytes.size());
    return out;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::optional<double> inUnit(const Param& p, std::string_view unit) {
    if (p.unit.empty()) return p.number;
    const std::string_view u = p.unit;
    // SCPI reads MHZ as megahertz, not millihertz.
    if (unit == "HZ" && u == "MHZ") return p.number * 1e6;
    static const std::pair<std::string_view, double> prefixes[] = {
        {"", 1},    {"EX", 1e18}, {"PE", 1e15}, {"T", 1e12}, {"G", 1e9},   {"MA", 1e6},
        {"K", 1e3}, {"M", 1e-3},  {"U", 1e-6},  {"N", 1e-9}, {"P", 1e-12}, {"F", 1e-15}};
    // The unit itself with a multiplier before it, or a multiplier alone (200K).
    const bool withUnit = u.size() >= unit.size() && u.substr(u.size() - unit.size()) == unit;
    const std::string_view prefix = withUnit ? u.substr(0, u.size() - unit.size()) : u;
    for (const auto& [name, factor] : prefixes)
        if (prefix == name && (withUnit || !name.empty())) return p.number * factor;
    return std::nullopt;
}

} // namespace scpi
