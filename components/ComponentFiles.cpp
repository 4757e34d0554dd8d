#include "ComponentFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>

#include "CSParameterDB.h"
#include "Values.h"

namespace vantor {

std::string MessageCannotOpen(const std::string& file, unsigned error) {
    return "Datei " + file + " kann nicht geöffnet werden, Fehler = " + std::to_string(error) + "\n";
}
std::string MessageFormatUnsupported(const std::string& file) {
    return "S-Parameter-Datei " + file + ":\nFormat nicht unterstützt!";
}
std::string MessageS2pReference(const std::string& file) {
    return "S-Parameter-Datei " + file + ":\nReferenzimpedanz muß 50 Ohm sein!";
}
std::string MessageFlpReference(const std::string& set, const std::string& file) {
    return "S-Parameter-Daten\n" + set + " in Datei " + file + "\nReferenzimpedanz muß 50 Ohm sein!";
}
std::string MessageUnexpectedEnd(const std::string& file) {
    return "S-Parameter-Datei " + file + ":\nUnerwartetes Dateiende!";
}
std::string MessageBadDataLine(const std::string& file, int line) {
    return "S-Parameter-Datei " + file + ":\nZeile " + std::to_string(line) +
           ": Frequenz und acht Zahlenwerte erwartet!";
}
std::string MessageFrequencyOrder(const std::string& file, int line) {
    return "S-Parameter-Datei " + file + ":\nZeile " + std::to_string(line) + ": Frequenz nicht aufsteigend!";
}
std::string MessageBadPointCount(const std::string& file, int line) {
    return "S-Parameter-Datei " + file + ":\nZeile " + std::to_string(line) + ": Punktzahl ungültig!";
}
std::string MessageLineTooLong(const std::string& file, int line) {
    return "S-Parameter-Datei " + file + ":\nZeile " + std::to_string(line) + " ist zu lang!";
}

std::string SetNameFromFileName(const std::string& fileName) {
    std::string name = std::filesystem::path(fileName).filename().string();
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

namespace {

enum class Key { PartNumber, NominalL, Imax, Make, Dim, Srf, Comment, Datasheet };

const char* KeyText(Key key) {
    switch (key) {
        case Key::PartNumber: return "PART_NUMBER:";
        case Key::NominalL: return "NOM_L=";
        case Key::Imax: return "IMAX=";
        case Key::Make: return "MAKE:";
        case Key::Dim: return "DIM:";
        case Key::Srf: return "SRF:";
        case Key::Comment: return "!";
        case Key::Datasheet: return "DATASHEET:";
    }
    return "";
}

// Header line n of an "S2P" file carries key n; an "FLP" set has its own order.
constexpr Key kS2pKeys[] = {Key::PartNumber, Key::NominalL, Key::Imax,    Key::Make,
                            Key::Dim,        Key::Srf,      Key::Comment, Key::Datasheet};
constexpr Key kFlpKeys[] = {Key::NominalL, Key::Imax, Key::Make, Key::Dim, Key::Srf, Key::PartNumber, Key::Datasheet};

double KeyNumber(std::string_view text) {
    const double v = ParseValue(std::string(text));
    return std::isfinite(v) ? v : 0.0;
}

// A line without its key leaves the set unchanged.
void ApplyKey(CSParaSet& set, Key key, std::string_view line) {
    const std::string_view k = KeyText(key);
    const std::size_t p = line.find(k);
    if (p == std::string_view::npos) return;
    const std::string_view value = TrimBlanks(line.substr(p + k.size()));
    switch (key) {
        case Key::PartNumber: set.partNumber = value; break;
        case Key::NominalL: set.nominalL = KeyNumber(value); break;
        case Key::Imax: set.maxCurrent = KeyNumber(value); break;
        case Key::Make: set.maker = value; break;
        case Key::Dim: set.dimensions = value; break;
        case Key::Srf: set.srf = value; break;
        case Key::Comment: set.comment = value; break;
        case Key::Datasheet: set.datasheet = value; break;
    }
}

// Pair conversion; kind 0 magnitude/angle, 1 dB/angle, 2 real/imaginary.
Complex ToComplex(int kind, double a, double b) {
    if (kind == 2) return {a, b};
    const double m = kind == 1 ? std::pow(10.0, a / 20.0) : a;
    const double theta = (b / 360.0 + b / 360.0) * kPi;
    return {m * std::cos(theta), m * std::sin(theta)};
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int ClampToInt(std::uint64_t v) { return v > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(v); }

// Reports the bytes read whenever a new block came in.
class Progress {
public:
    Progress(Interaction& ui, std::uint64_t total) : progress_(ui.progress()) {
        progress_.range(ProgressBar::Upper, ClampToInt(total));
    }
    void Update(const LineReader& reader) {
        if (reader.BytesRead() != shown_) {
            shown_ = reader.BytesRead();
            progress_.value(ProgressBar::Upper, ClampToInt(shown_));
        }
    }

private:
    ProgressReporter& progress_;
    std::uint64_t shown_ = ~std::uint64_t{0};
};

// One data line: frequency and four pairs. False unless the line starts
// with nine numbers; anything after the ninth is ignored.
bool ReadDataLine(std::string_view line, double numbers[9]) {
    std::string_view tokens[9];
    if (SplitTokens(line, tokens, 9) < 9) return false;
    for (int i = 0; i < 9; ++i)
        if (!ReadNumber(tokens[i], numbers[i])) return false;
    return true;
}

CSParameter MakePoint(int kind, double freq, const double v[9]) {
    CSParameter p;
    p.freq = freq;
    p.s11 = ToComplex(kind, v[1], v[2]);
    p.s21 = ToComplex(kind, v[3], v[4]);
    p.s12 = ToComplex(kind, v[5], v[6]);
    p.s22 = ToComplex(kind, v[7], v[8]);
    return p;
}

void FinishRange(CSParaSet& set) {
    set.pointCount = static_cast<std::int32_t>(std::min<std::size_t>(set.points.size(), INT32_MAX));
    set.fMin = set.fMax = 0.0;
    if (set.points.empty()) return;
    // Points are ascending, but say what the data hold whatever their order.
    set.fMin = set.fMax = set.points.front().freq;
    for (const CSParameter& p : set.points) {
        set.fMin = std::min(set.fMin, p.freq);
        set.fMax = std::max(set.fMax, p.freq);
    }
}

// The option line after its "#": Touchstone options in any order, each with
// its default (GHz, S, MA, R 50). Returns false for anything not a
// 50 Ohm S-parameter file; message says which complaint applies.
struct Options {
    double multiplier = 1e9;
    int formatCode = 3;
    double reference = 50.0;
};

enum class OptionResult { Ok, Unsupported, Reference };

OptionResult ReadOptionLine(std::string_view text, Options& o) {
    constexpr int kMax = 16;
    std::string_view tokens[kMax];
    const int n = SplitTokens(text, tokens, kMax);
    if (n > kMax) return OptionResult::Unsupported;
    bool kindS = true;
    for (int i = 0; i < n; ++i) {
        const std::string t = Lower(tokens[i]);
        if (t == "hz")
            o.multiplier = 1.0;
        else if (t == "khz")
            o.multiplier = 1e3;
        else if (t == "mhz")
            o.multiplier = 1e6;
        else if (t == "ghz")
            o.multiplier = 1e9;
        else if (t == "s")
            kindS = true;
        else if (t == "y" || t == "z" || t == "h" || t == "g")
            kindS = false;
        else if (t == "ma")
            o.formatCode = 3;
        else if (t == "db")
            o.formatCode = 4;
        else if (t == "ri")
            o.formatCode = 5;
        else if (t == "r") {
            o.reference = 0.0;
            if (i + 1 < n) {
                double r = 0.0;
                if (ReadNumber(tokens[i + 1], r)) o.reference = r;
                ++i;
            }
        } else {
            return OptionResult::Unsupported;
        }
    }
    if (!kindS) return OptionResult::Unsupported;
    if (o.reference != 50.0) return OptionResult::Reference;
    return OptionResult::Ok;
}

}  // namespace

int ReadS2pData(ByteSource& source, const std::string& fileName, std::uint64_t totalBytes, CSParameterDB& db,
                Interaction& ui) {
    LineReader reader(source);
    Progress progress(ui, totalBytes);
    auto set = std::make_unique<CSParaSet>();
    set->name = SetNameFromFileName(fileName);

    int headerLine = 0;    // header lines seen so far
    bool inHeader = true;  // still in the leading "!" lines
    bool haveOptions = false;
    Options options;
    double lastFreq = 0.0;

    std::string_view raw;
    for (;;) {
        const LineReader::Status status = reader.Next(raw);
        progress.Update(reader);
        if (status == LineReader::Status::End) break;
        if (status == LineReader::Status::TooLong) {
            ui.message(MessageLineTooLong(fileName, reader.LineNumber() + 1), MessageKind::Error);
            return 0;
        }
        const std::string_view line = TrimBlanks(raw);
        if (line.empty()) continue;

        if (line[0] == '!') {
            if (inHeader && headerLine < 8) ApplyKey(*set, kS2pKeys[headerLine], line);
            ++headerLine;
            continue;
        }
        inHeader = false;
        if (line[0] == '#') {
            if (haveOptions) continue;  // only the first option line counts
            haveOptions = true;
            switch (ReadOptionLine(line.substr(1), options)) {
                case OptionResult::Ok: break;
                case OptionResult::Unsupported:
                    ui.message(MessageFormatUnsupported(fileName), MessageKind::Error);
                    return 0;
                case OptionResult::Reference: ui.message(MessageS2pReference(fileName), MessageKind::Error); return 0;
            }
            set->formatCode = options.formatCode;
            set->refImpedance = options.reference;
            continue;
        }
        if (!haveOptions) continue;  // no data before the option line

        // Data may carry a trailing comment.
        const std::string_view data = line.substr(0, line.find('!'));
        std::string_view first[1];
        double f = 0.0;
        if (SplitTokens(data, first, 1) >= 1 && ReadNumber(first[0], f) && !set->points.empty() &&
            !(f * options.multiplier > lastFreq)) {
            break;  // the noise-parameter block starts here
        }
        double v[9];
        if (!ReadDataLine(data, v) || !std::isfinite(v[0] * options.multiplier) || v[0] < 0.0) {
            ui.message(MessageBadDataLine(fileName, reader.LineNumber()), MessageKind::Error);
            return 0;
        }
        if (set->points.size() >= static_cast<std::size_t>(INT32_MAX)) {
            ui.message(MessageBadDataLine(fileName, reader.LineNumber()), MessageKind::Error);
            return 0;
        }
        lastFreq = v[0] * options.multiplier;
        set->points.push_back(MakePoint(options.formatCode - 3, lastFreq, v));
    }

    if (!haveOptions) {
        ui.message(MessageFormatUnsupported(fileName), MessageKind::Error);
        return 0;
    }
    FinishRange(*set);
    return db.AddSet(std::move(set));
}

int ReadFlpData(ByteSource& source, const std::string& fileName, std::uint64_t totalBytes, CSParameterDB& db,
                Interaction& ui) {
    LineReader reader(source);
    Progress progress(ui, totalBytes);

    enum class State { Head, Description, Keys, Data };
    State state = State::Head;
    std::unique_ptr<CSParaSet> set;
    long long declared = 0;
    int keyLine = 0;
    bool referenceOk = true;
    int kind = 0;
    int added = 0;

    // A set is complete after its last declared point.
    auto finish = [&] {
        FinishRange(*set);
        if (referenceOk) added += db.AddSet(std::move(set));
        set.reset();
        state = State::Head;
    };

    std::string_view raw;
    for (;;) {
        const LineReader::Status status = reader.Next(raw);
        progress.Update(reader);
        if (status == LineReader::Status::End) break;
        if (status == LineReader::Status::TooLong) {
            ui.message(MessageLineTooLong(fileName, reader.LineNumber() + 1), MessageKind::Error);
            return added;
        }
        const std::string_view line = TrimBlanks(raw);

        switch (state) {
            case State::Head: {
                if (line.empty()) continue;
                std::string_view t[6];
                if (SplitTokens(line, t, 6) < 6) {
                    ui.message(MessageFormatUnsupported(fileName), MessageKind::Error);
                    return added;
                }
                const std::string format = Lower(t[5]);
                if (format == "1" || format == "s")
                    kind = 0;
                else if (format == "31" || format == "db")
                    kind = 1;
                else if (format == "-1" || format == "ri")
                    kind = 2;
                else {
                    ui.message(MessageFormatUnsupported(fileName), MessageKind::Error);
                    return added;
                }
                double count = 0.0;
                if (!ReadNumber(t[3], count) || count < 0.0 || count > INT32_MAX || count != std::floor(count)) {
                    ui.message(MessageBadPointCount(fileName, reader.LineNumber()), MessageKind::Error);
                    return added;
                }
                declared = static_cast<long long>(count);
                set = std::make_unique<CSParaSet>();
                set->name = t[0];
                set->formatCode = kind;
                set->refImpedance = ParseValue(std::string(t[4]));
                referenceOk = set->refImpedance == 50.0;
                if (!referenceOk) ui.message(MessageFlpReference(set->name, fileName), MessageKind::Error);
                state = State::Description;
                break;
            }
            case State::Description:
                set->description = line;
                keyLine = 0;
                state = State::Keys;
                break;
            case State::Keys:
                ApplyKey(*set, kFlpKeys[keyLine], line);
                if (++keyLine == 7) {
                    state = State::Data;
                    if (declared == 0) finish();
                }
                break;
            case State::Data: {
                if (line.empty()) continue;
                double v[9];
                if (!ReadDataLine(line, v)) {
                    ui.message(MessageBadDataLine(fileName, reader.LineNumber()), MessageKind::Error);
                    return added;
                }
                if (v[0] < 0.0 || (!set->points.empty() && !(v[0] > set->points.back().freq))) {
                    ui.message(MessageFrequencyOrder(fileName, reader.LineNumber()), MessageKind::Error);
                    return added;
                }
                set->points.push_back(MakePoint(kind, v[0], v));
                if (static_cast<long long>(set->points.size()) == declared) finish();
                break;
            }
        }
    }
    if (state != State::Head) ui.message(MessageUnexpectedEnd(fileName), MessageKind::Error);
    return added;
}

namespace {

using DataReader = int (*)(ByteSource&, const std::string&, std::uint64_t, CSParameterDB&, Interaction&);

int ReadFile(const std::filesystem::path& path, CSParameterDB& db, Interaction& ui, DataReader read) {
    const std::string fileName = path.string();
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!file) {
        ui.message(MessageCannotOpen(fileName, static_cast<unsigned>(errno)), MessageKind::Error);
        return 0;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    FileSource source(file.get());
    return read(source, fileName, ec ? 0 : size, db, ui);
}

}  // namespace

int ReadS2pFile(const std::filesystem::path& path, CSParameterDB& db, Interaction& ui) {
    return ReadFile(path, db, ui, &ReadS2pData);
}

int ReadFlpFile(const std::filesystem::path& path, CSParameterDB& db, Interaction& ui) {
    return ReadFile(path, db, ui, &ReadFlpData);
}

}  // namespace vantor
