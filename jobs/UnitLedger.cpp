#include "jobs/UnitLedger.h"

#include <algorithm>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include "common/FileIo.h"
#include "common/RecordFile.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace jobs {
namespace {

// Another station holds the state's lock for one write; ten seconds means something is wrong.
constexpr int kLockWaitMs = 10000;
constexpr int kLockPollMs = 2;

// The state file is read, changed and replaced under a lock on "STATE.lock". On Unix that is
// flock: taking it syncs nothing and the kernel lets go when the holder dies. QLockFile writes and
// syncs its file at every lock, three syncs a unit queued behind one another when a station per
// port takes numbers at once; its own wait also sleeps 100 ms and then doubles.
class StateLock {
public:
    explicit StateLock(const std::filesystem::path& state) {
        QElapsedTimer waited;
        waited.start();
#ifdef Q_OS_UNIX
        const std::string path = state.string() + ".lock";
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        while (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited.hasExpired(kLockWaitMs)) {
                ::close(fd);
                fd = -1;
            }
            QThread::msleep(kLockPollMs);
        }
        held = fd >= 0;
#else
        lock = std::make_unique<QLockFile>(QString::fromStdString(state.string() + ".lock"));
        while (!(held = lock->tryLock(0)) && lock->error() == QLockFile::LockFailedError &&
               !waited.hasExpired(kLockWaitMs))
            QThread::msleep(kLockPollMs);
#endif
    }
    ~StateLock() {
#ifdef Q_OS_UNIX
        if (fd >= 0)
            ::close(fd);
#endif
    }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    bool held = false;

private:
#ifdef Q_OS_UNIX
    int fd = -1;
#else
    std::unique_ptr<QLockFile> lock;
#endif
};

}  // namespace

QString DefaultUnitLedgerPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("units.jsonl"));
}

QString TraceFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("unit-traces"));
}

static std::filesystem::path LocalPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

bool LedgerWritable(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A pipe or a device at the path would block the open or swallow the records.
    std::error_code ec;
    const auto status = std::filesystem::status(LocalPath(path), ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

bool AppendUnitRecord(const QString& path, const QJsonObject& record) {
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact);
    return !fileio::AppendRecord(
        LocalPath(path), std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
}

LedgerRead ReadUnitLedger(const QString& path) {
    LedgerRead read;
    int number = 0;
    for (const std::filesystem::path& file : fileio::RecordFiles(LocalPath(path))) {
        std::string bytes;
        if (fileio::ReadLimited(file, 2 * fileio::kRollOverBytes, bytes) != fileio::ReadStatus::Ok)
            continue;
        read.opened = true;
        const QByteArray text = QByteArray::fromStdString(bytes);
        qsizetype from = 0;
        while (from < text.size()) {
            qsizetype end = text.indexOf('\n', from);
            const bool whole = end >= 0;
            if (!whole)
                end = text.size();
            const QByteArray line = text.mid(from, end - from);
            from = end + 1;
            ++number;
            if (line.trimmed().isEmpty())
                continue;
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
            const QJsonObject o = doc.object();
            if (!whole || error.error != QJsonParseError::NoError || !doc.isObject() ||
                !o.value("unit").isString() || !o.value("job").isString() ||
                !o.value("outcome").isString() || !o.value("steps").isArray())
                read.skippedLines.push_back(number);
            else
                read.records.push_back(o);
        }
    }
    return read;
}

std::filesystem::path StatePath(const std::filesystem::path& jobPath) {
    std::filesystem::path state = jobPath;
    state += ".state";
    return state;
}

namespace {

struct State {
    std::int64_t next = 0;
    QJsonArray used;
    QJsonArray open;  // {unit, owner, values: [[register, text]...]} taken and not yet recorded
};

// The state file names what was handed out; a state file that cannot be read is a refusal, never
// a fresh start that would hand the same numbers out again.
std::optional<State> ReadState(const std::filesystem::path& path, std::int64_t first) {
    State state{first, {}, {}};
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return state;
    std::string bytes;
    if (fileio::ReadLimited(path, 16u << 20, bytes) != fileio::ReadStatus::Ok)
        return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(bytes)).object();
    if (!o.value("next").isDouble())
        return std::nullopt;
    state.next = static_cast<std::int64_t>(o.value("next").toDouble());
    state.used = o.value("used").toArray();
    state.open = o.value("open").toArray();
    return state;
}

bool WriteState(const std::filesystem::path& path, const State& state) {
    const QJsonObject o{{"next", double(state.next)}, {"used", state.used}, {"open", state.open}};
    return !fileio::WriteSafely(path,
                                QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString());
}

std::optional<JobFault> Refused(msg::Id id, std::vector<std::string> args) {
    return JobFault{id, std::move(args), 1};
}

}  // namespace

TakenUnit TakeUnit(const PreparedJob& job, const std::optional<std::string>& unitId,
                   std::int64_t owner, const std::string& port) {
    TakenUnit taken;
    const std::filesystem::path path = StatePath(job.path);
    const std::string shown = path.string();
    const StateLock lock(path);
    if (!lock.held) {
        taken.fault = Refused(msg::Id::JobStateUnusable, {shown});
        return taken;
    }
    const Stamp& stamp = job.job.stamp;
    auto state = ReadState(path, stamp.kind == StampKind::Counter ? stamp.start : 1);
    if (!state) {
        taken.fault = Refused(msg::Id::JobStateUnusable, {shown});
        return taken;
    }
    UnitStamp unit;
    if (stamp.kind == StampKind::Csv) {
        const auto row =
            std::find_if(job.csvRows.begin(), job.csvRows.end(), [&](const UnitStamp& u) {
                return unitId ? u.unit == *unitId
                              : !state->used.contains(QString::fromStdString(u.unit));
            });
        if (row == job.csvRows.end() || state->used.contains(QString::fromStdString(row->unit))) {
            taken.fault = unitId
                              ? Refused(msg::Id::JobUnitNotAvailable, {*unitId, job.job.stamp.csv})
                              : Refused(msg::Id::JobNoUnitsLeft, {job.job.stamp.csv});
            return taken;
        }
        unit = *row;
        state->used.append(QString::fromStdString(unit.unit));
    } else {
        const auto text = CounterText(state->next, stamp.digits);
        if (!text) {
            taken.fault = Refused(msg::Id::JobCounterTooWide,
                                  {std::to_string(state->next), std::to_string(stamp.digits)});
            return taken;
        }
        unit.unit = unitId.value_or(*text);
        if (stamp.kind == StampKind::Counter)
            unit.values.emplace_back(stamp.registerNumber, *text);
        state->next += stamp.kind == StampKind::Counter ? stamp.step : 1;
    }
    QJsonArray values;
    for (const auto& [number, text] : unit.values)
        values.append(QJsonArray{number, QString::fromStdString(text)});
    QJsonObject entry{
        {"unit", QString::fromStdString(unit.unit)}, {"owner", double(owner)}, {"values", values}};
    if (!port.empty())
        entry["port"] = QString::fromStdString(port);
    state->open.append(entry);
    if (!WriteState(path, *state)) {
        taken.fault = Refused(msg::Id::JobStateUnusable, {shown});
        return taken;
    }
    taken.stamp = std::move(unit);
    return taken;
}

std::vector<UnitStamp> NextUnits(const PreparedJob& job, int count) {
    const Stamp& stamp = job.job.stamp;
    const auto state =
        ReadState(StatePath(job.path), stamp.kind == StampKind::Counter ? stamp.start : 1);
    std::vector<UnitStamp> units;
    if (!state)
        return units;
    if (stamp.kind == StampKind::Csv) {
        for (const UnitStamp& row : job.csvRows) {
            if (static_cast<int>(units.size()) < count &&
                !state->used.contains(QString::fromStdString(row.unit)))
                units.push_back(row);
        }
        return units;
    }
    std::int64_t next = state->next;
    for (int i = 0; i < count; ++i, next += stamp.kind == StampKind::Counter ? stamp.step : 1) {
        const auto text = CounterText(next, stamp.digits);
        if (!text)
            break;
        UnitStamp unit{*text, {}};
        if (stamp.kind == StampKind::Counter)
            unit.values.emplace_back(stamp.registerNumber, *text);
        units.push_back(std::move(unit));
    }
    return units;
}

bool SettleUnit(const PreparedJob& job, const std::string& unit) {
    const std::filesystem::path path = StatePath(job.path);
    const StateLock lock(path);
    if (!lock.held)
        return false;
    auto state = ReadState(path, 0);
    if (!state)
        return false;
    QJsonArray open;
    for (const QJsonValue& entry : state->open) {
        if (entry.toObject().value("unit").toString().toStdString() != unit)
            open.append(entry);
    }
    state->open = open;
    return WriteState(path, *state);
}

std::vector<OpenUnit> AdoptInterrupted(const PreparedJob& job,
                                       const std::function<bool(std::int64_t)>& alive,
                                       std::int64_t self) {
    const std::filesystem::path path = StatePath(job.path);
    const StateLock lock(path);
    if (!lock.held)
        return {};
    auto state = ReadState(path, 0);
    if (!state)
        return {};
    std::vector<OpenUnit> units;
    for (QJsonValueRef value : state->open) {
        QJsonObject entry = value.toObject();
        if (alive(static_cast<std::int64_t>(entry.value("owner").toDouble())))
            continue;
        entry["owner"] = double(self);
        value = entry;
        UnitStamp unit{entry.value("unit").toString().toStdString(), {}};
        for (const QJsonValue& pair : entry.value("values").toArray())
            unit.values.emplace_back(pair.toArray().at(0).toInt(),
                                     pair.toArray().at(1).toString().toStdString());
        units.push_back({std::move(unit), entry.value("port").toString().toStdString()});
    }
    if (units.empty() || !WriteState(path, *state))
        return {};
    return units;
}

bool ProcessAlive(std::int64_t pid) {
    if (pid <= 0)
        return false;
#ifdef Q_OS_UNIX
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#else
    return pid == QCoreApplication::applicationPid();
#endif
}

}  // namespace jobs
