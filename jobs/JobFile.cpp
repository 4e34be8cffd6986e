#include "jobs/JobFile.h"

#include <algorithm>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/FileIo.h"

namespace jobs {
namespace {

// Far more than any job of a few steps needs; a larger file is no job.
constexpr std::size_t kMaxJobSize = 1 << 20;

struct NameOf {
    const char* name;
    int value;
};
constexpr NameOf kRotations[] = {{"none", int(screen::Rotation::None)},
                                 {"right", int(screen::Rotation::Right)},
                                 {"half", int(screen::Rotation::Half)},
                                 {"left", int(screen::Rotation::Left)}};
constexpr NameOf kDithers[] = {{"none", int(screen::Dither::None)},
                               {"ordered", int(screen::Dither::Ordered)},
                               {"fs", int(screen::Dither::FloydSteinberg)}};
constexpr NameOf kFits[] = {{"scale", int(screen::Fit::Scale)},
                            {"crop", int(screen::Fit::Crop)},
                            {"pad", int(screen::Fit::Pad)}};
constexpr NameOf kScreenKinds[] = {{"startup", int(ctrl::ScreenKind::Startup)},
                                   {"parameter", int(ctrl::ScreenKind::Parameter)},
                                   {"status", int(ctrl::ScreenKind::Status)}};

// The steps that are a file and a number for the controller: the file's key, the number's key.
struct NumberedStep {
    const char* file;
    const char* number;
    StepKind kind;
};
constexpr NumberedStep kNumberedSteps[] = {{"program", "number", StepKind::Program},
                                           {"params", "page", StepKind::Params}};

template <std::size_t N>
std::optional<int> ValueNamed(const NameOf (&table)[N], const QString& name) {
    for (const NameOf& row : table) {
        if (name == QLatin1String(row.name))
            return row.value;
    }
    return std::nullopt;
}

template <std::size_t N>
QString NameOfValue(const NameOf (&table)[N], int value) {
    for (const NameOf& row : table) {
        if (row.value == value)
            return QLatin1String(row.name);
    }
    return {};
}

// Reads the fields of one object, remembering the first fault with the field's path.
class Fields {
public:
    Fields(const std::string& job, QJsonObject object, std::string path)
        : job(job), object(std::move(object)), path(std::move(path)) {}

    std::optional<JobFault> fault;

    std::string Path(const char* key) const { return path.empty() ? key : path + "." + key; }
    bool Has(const char* key) const { return object.contains(QLatin1String(key)); }

    void Fail(msg::Id id, std::vector<std::string> args) {
        if (!fault)
            fault = JobFault{id, std::move(args), 1};
    }
    std::string Text(const char* key) {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined())
            Fail(msg::Id::JobFieldMissing, {job, Path(key)});
        else if (!v.isString() || v.toString().isEmpty())
            Fail(msg::Id::JobFieldBad, {job, Path(key), Shown(v)});
        return v.toString().toStdString();
    }
    // A whole number from `least` to `most`; `fallback` when the field is absent.
    std::int64_t Number(const char* key, std::int64_t least, std::int64_t most,
                        std::optional<std::int64_t> fallback = std::nullopt) {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined() && fallback)
            return *fallback;
        if (v.isUndefined()) {
            Fail(msg::Id::JobFieldMissing, {job, Path(key)});
            return least;
        }
        const double d = v.toDouble(-1e300);
        // The range first: converting a number outside it would not be defined.
        if (!v.isDouble() || d < static_cast<double>(least) || d > static_cast<double>(most) ||
            d != static_cast<double>(static_cast<std::int64_t>(d))) {
            Fail(msg::Id::JobFieldBad, {job, Path(key), Shown(v)});
            return least;
        }
        return static_cast<std::int64_t>(d);
    }
    template <std::size_t N>
    int Named(const char* key, const NameOf (&table)[N], int fallback) {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (const auto value = ValueNamed(table, v.toString()); v.isString() && value)
            return *value;
        Fail(msg::Id::JobFieldBad, {job, Path(key), Shown(v)});
        return fallback;
    }
    bool Flag(const char* key) {
        const QJsonValue v = object.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isBool())
            Fail(msg::Id::JobFieldBad, {job, Path(key), Shown(v)});
        return v.toBool();
    }
    QJsonValue Value(const char* key) const { return object.value(QLatin1String(key)); }
    // Keys other than `known` are refused, so a misspelt field never passes for an absent one.
    template <std::size_t N>
    void OnlyKeys(const char* const (&known)[N]) {
        for (const QString& key : object.keys()) {
            if (std::none_of(std::begin(known), std::end(known),
                             [&](const char* k) { return key == QLatin1String(k); }))
                Fail(msg::Id::JobUnknownField, {job, Path(key.toUtf8().constData())});
        }
    }

    static std::string Shown(const QJsonValue& v) {
        if (v.isString())
            return v.toString().toStdString();
        QJsonArray wrap{v};
        const QByteArray text = QJsonDocument(wrap).toJson(QJsonDocument::Compact);
        return text.mid(1, text.size() - 2).toStdString();
    }

private:
    const std::string& job;
    QJsonObject object;
    std::string path;
};

void ReadScreen(Fields& f, Step& step) {
    if (const auto kind = ScreenKindNamed(f.Text("kind")))
        step.screenKind = *kind;
    else if (!f.fault)
        f.Fail(msg::Id::JobFieldBad, {"", f.Path("kind"), Fields::Shown(f.Value("kind"))});
    step.number = static_cast<int>(f.Number("number", 0, ctrl::kLastScreenNumber, 0));
    const QJsonValue list = f.Value("registers");
    if (!list.isUndefined()) {
        const QJsonArray a = list.toArray();
        if (!list.isArray() || a.size() != 4)
            f.Fail(msg::Id::JobFieldBad, {"", f.Path("registers"), Fields::Shown(list)});
        for (int i = 0; i < 4 && i < a.size(); ++i) {
            const double d = a[i].toDouble(-1);
            // Out of range is refused before the conversion, which would not be defined there.
            if (d < 0 || d > ctrl::kLastRegisterNumber || d != static_cast<int>(d)) {
                f.Fail(msg::Id::JobFieldBad, {"", f.Path("registers"), Fields::Shown(list)});
                continue;
            }
            step.registers[static_cast<std::size_t>(i)] = static_cast<int>(d);
        }
    }
    screen::ImportOptions& p = step.picture;
    p.rotation = screen::Rotation(f.Named("rotate", kRotations, int(p.rotation)));
    p.dither = screen::Dither(f.Named("dither", kDithers, int(p.dither)));
    p.fit = screen::Fit(f.Named("fit", kFits, int(p.fit)));
    p.threshold = static_cast<int>(f.Number("threshold", 0, 255, p.threshold));
    p.invert = f.Flag("invert");
}

std::optional<Step> ReadStep(const std::string& job, const QJsonValue& value, std::size_t index,
                             JobFault& fault) {
    const std::string path = "steps[" + std::to_string(index + 1) + "]";
    if (!value.isObject()) {
        fault = {msg::Id::JobFieldBad, {job, path, Fields::Shown(value)}, 1};
        return std::nullopt;
    }
    Fields f(job, value.toObject(), path);
    Step step;
    const auto numbered = std::find_if(std::begin(kNumberedSteps), std::end(kNumberedSteps),
                                       [&f](const NumberedStep& n) { return f.Has(n.file); });
    if (numbered != std::end(kNumberedSteps)) {
        const char* const known[] = {numbered->file, numbered->number};
        f.OnlyKeys(known);
        step.kind = numbered->kind;
        step.file = f.Text(numbered->file);
        step.number = static_cast<int>(f.Number(numbered->number, 0, 9999, 1));
    } else if (f.Has("screen")) {
        static constexpr const char* kKnown[] = {"screen",    "kind",      "number",
                                                 "registers", "rotate",    "dither",
                                                 "fit",       "threshold", "invert"};
        f.OnlyKeys(kKnown);
        step.kind = StepKind::Screen;
        step.file = f.Text("screen");
        ReadScreen(f, step);
    } else {
        f.Fail(msg::Id::JobUnknownStep, {job, path});
    }
    if (f.fault) {
        fault = *f.fault;
        fault.args[0] = job;
        return std::nullopt;
    }
    return step;
}

std::optional<Stamp> ReadStamp(const std::string& job, const QJsonValue& value, JobFault& fault) {
    Stamp stamp;
    if (value.isUndefined())
        return stamp;
    Fields f(job, value.toObject(), "stamp");
    if (!value.isObject()) {
        f.Fail(msg::Id::JobFieldBad, {job, "stamp", Fields::Shown(value)});
    } else if (f.Has("csv")) {
        static constexpr const char* kKnown[] = {"csv"};
        f.OnlyKeys(kKnown);
        stamp.kind = StampKind::Csv;
        stamp.csv = f.Text("csv");
    } else {
        static constexpr const char* kKnown[] = {"register", "start", "step", "digits"};
        f.OnlyKeys(kKnown);
        stamp.kind = StampKind::Counter;
        const QJsonValue reg = f.Value("register");
        if (!reg.isUndefined() && reg.isDouble() &&
            (reg.toDouble() < 0 || reg.toDouble() >= kRegisterCount))
            f.Fail(msg::Id::JobStampRegisterRange, {job, Fields::Shown(reg)});
        stamp.registerNumber = static_cast<int>(f.Number("register", 0, kRegisterCount - 1));
        stamp.start = f.Number("start", 0, 999999999);
        stamp.step = f.Number("step", 1, 999999999, 1);
        stamp.digits = static_cast<int>(f.Number("digits", 0, 9, 0));
    }
    if (f.fault) {
        fault = *f.fault;
        return std::nullopt;
    }
    return stamp;
}

// The 1-based line of a byte offset, for a fault in the JSON text itself.
int LineOf(const std::string& bytes, int offset) {
    const auto end = bytes.begin() + std::clamp<std::ptrdiff_t>(offset, 0, bytes.size());
    return 1 + static_cast<int>(std::count(bytes.begin(), end, '\n'));
}

}  // namespace

std::string JobFault::Text() const {
    std::vector<std::string_view> views(args.begin(), args.end());
    return msg::Fill(msg::Source(id), views);
}

std::string JobName(const std::filesystem::path& jobPath) {
    return jobPath.stem().string();
}

std::filesystem::path Resolve(const std::filesystem::path& jobPath, const std::string& file) {
    return jobPath.parent_path() / std::filesystem::path(std::u8string(file.begin(), file.end()));
}

std::optional<ctrl::ScreenKind> ScreenKindNamed(const std::string& name) {
    if (const auto v = ValueNamed(kScreenKinds, QString::fromStdString(name)))
        return ctrl::ScreenKind(*v);
    return std::nullopt;
}

JobRead ParseJob(const std::string& job, const std::string& bytes) {
    JobRead read;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        const int line = error.error != QJsonParseError::NoError ? LineOf(bytes, error.offset) : 1;
        const std::string why = error.error != QJsonParseError::NoError
                                    ? error.errorString().toStdString()
                                    : std::string("not an object");
        read.fault = {msg::Id::JobBadJson, {job, std::to_string(line), why}, 1};
        return read;
    }
    const QJsonObject root = doc.object();
    Fields f(job, root, "");
    static constexpr const char* kKnown[] = {"format", "steps", "stamp", "approved", "pin"};
    f.OnlyKeys(kKnown);
    if (!f.fault && f.Number("format", 1, 1000) != kFormatVersion && !f.fault)
        f.Fail(msg::Id::JobFormatVersion, {job, Fields::Shown(root.value("format"))});
    if (!f.fault && (!root.value("steps").isArray() || root.value("steps").toArray().isEmpty()))
        f.Fail(msg::Id::JobFieldBad, {job, "steps", Fields::Shown(root.value("steps"))});
    if (f.fault) {
        read.fault = *f.fault;
        return read;
    }
    Job result;
    const QJsonArray steps = root.value("steps").toArray();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        auto step = ReadStep(job, steps[i], static_cast<std::size_t>(i), read.fault);
        if (!step)
            return read;
        result.steps.push_back(std::move(*step));
    }
    auto stamp = ReadStamp(job, root.value("stamp"), read.fault);
    if (!stamp)
        return read;
    result.stamp = *stamp;
    if (result.stamp.kind == StampKind::Counter &&
        std::none_of(result.steps.begin(), result.steps.end(),
                     [](const Step& s) { return s.kind == StepKind::Params; })) {
        read.fault = {
            msg::Id::JobStampNoRegisterFile, {job, std::to_string(result.stamp.registerNumber)}, 1};
        return read;
    }
    if (root.contains("pin")) {
        const QString pin = root.value("pin").toString();
        const bool hex = std::all_of(pin.begin(), pin.end(), [](QChar c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        });
        if (pin.size() != 64 || !hex) {
            read.fault = {msg::Id::JobFieldBad, {job, "pin", Fields::Shown(root.value("pin"))}, 1};
            return read;
        }
        result.pinSha256 = pin.toStdString();
    }
    const QJsonObject approved = root.value("approved").toObject();
    for (auto it = approved.begin(); it != approved.end(); ++it)
        result.approved[it.key().toStdString()] = it.value().toString().toStdString();
    read.job = std::move(result);
    return read;
}

JobRead ReadJob(const std::filesystem::path& jobPath) {
    std::string bytes;
    const std::string name = jobPath.string();
    if (fileio::ReadLimited(jobPath, kMaxJobSize, bytes) != fileio::ReadStatus::Ok) {
        JobRead read;
        read.fault = {msg::Id::JobUnreadable, {name}, 4};
        return read;
    }
    return ParseJob(name, bytes);
}

std::string JobText(const Job& job) {
    QJsonArray steps;
    for (const Step& s : job.steps) {
        QJsonObject o;
        const QString file = QString::fromStdString(s.file);
        switch (s.kind) {
            case StepKind::Program:
                o = {{"program", file}, {"number", s.number}};
                break;
            case StepKind::Params:
                o = {{"params", file}, {"page", s.number}};
                break;
            case StepKind::Screen:
                o = {{"screen", file},
                     {"kind", NameOfValue(kScreenKinds, int(s.screenKind))},
                     {"number", s.number},
                     {"registers",
                      QJsonArray{s.registers[0], s.registers[1], s.registers[2], s.registers[3]}},
                     {"rotate", NameOfValue(kRotations, int(s.picture.rotation))},
                     {"dither", NameOfValue(kDithers, int(s.picture.dither))},
                     {"fit", NameOfValue(kFits, int(s.picture.fit))},
                     {"threshold", s.picture.threshold},
                     {"invert", s.picture.invert}};
                break;
        }
        steps.append(o);
    }
    QJsonObject root{{"format", kFormatVersion}, {"steps", steps}};
    if (job.stamp.kind == StampKind::Counter)
        root["stamp"] = QJsonObject{{"register", job.stamp.registerNumber},
                                    {"start", double(job.stamp.start)},
                                    {"step", double(job.stamp.step)},
                                    {"digits", job.stamp.digits}};
    else if (job.stamp.kind == StampKind::Csv)
        root["stamp"] = QJsonObject{{"csv", QString::fromStdString(job.stamp.csv)}};
    if (!job.approved.empty()) {
        QJsonObject approved;
        for (const auto& [file, hash] : job.approved)
            approved[QString::fromStdString(file)] = QString::fromStdString(hash);
        root["approved"] = approved;
    }
    if (!job.pinSha256.empty())
        root["pin"] = QString::fromStdString(job.pinSha256);
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

std::error_code WriteJob(const std::filesystem::path& jobPath, const Job& job) {
    return fileio::WriteSafely(jobPath, JobText(job));
}

std::vector<std::string> InputFiles(const Job& job) {
    std::vector<std::string> files;
    for (const Step& s : job.steps) {
        if (std::find(files.begin(), files.end(), s.file) == files.end())
            files.push_back(s.file);
    }
    if (job.stamp.kind == StampKind::Csv)
        files.push_back(job.stamp.csv);
    return files;
}

}  // namespace jobs
