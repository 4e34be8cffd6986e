#include "jobs/JobInputs.h"

#include <QCryptographicHash>
#include <QImage>

#include "common/FileIo.h"
#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "downloads/ProgramSource.h"
#include "registers/RegisterFile.h"
#include "screen/PictureImport.h"
#include "screen/ScreenImage.h"

namespace jobs {
namespace {

// Pictures are the largest inputs; a photograph of a label fits well within this.
constexpr std::size_t kMaxInputSize = 32u << 20;

JobFault Fault(msg::Id id, std::vector<std::string> args, int status = 1) {
    return JobFault{id, std::move(args), status};
}

bool EndsWith(const std::string& file, std::string_view ext) {
    if (file.size() < ext.size())
        return false;
    std::string tail = file.substr(file.size() - ext.size());
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ext;
}

std::optional<JobFault> PrepareProgram(const PreparedJob& p, PreparedStep& s) {
    std::string object = s.bytes;
    if (EndsWith(s.step.file, ".kxc")) {
        const compiler::Translation t = compiler::Translate(s.bytes);
        if (t.result.outcome != compiler::CompileOutcome::Compiled)
            return Fault(msg::Id::JobCompileRefused,
                         {p.name, s.step.file, std::to_string(t.result.editorLine),
                          compiler::CompileMessage(t.result, s.step.file)});
        object = t.objectBytes;
        s.objectHash = Sha256Hex(object);
    }
    ctrl::ProgramSource check;
    if (check.Load(object) != ctrl::SourceOpen::Opened || !check.EndsWithEnd())
        return Fault(msg::Id::JobFileBadFormat, {p.name, s.step.file});
    s.bytes = std::move(object);
    return std::nullopt;
}

std::optional<JobFault> PrepareScreen(const PreparedJob& p, PreparedStep& s) {
    ctrl::ScreenTarget target;
    target.kind = s.step.screenKind;
    target.screenNumber = s.step.number;
    for (std::size_t i = 0; i < 4; ++i)
        target.registerNumbers[i] = s.step.registers[i];
    if (ctrl::CheckScreenTarget(target) != ctrl::ScreenRange::Ok)
        return Fault(msg::Id::JobFieldBad, {p.name, "screen", std::to_string(s.step.number)});
    std::string bitmap = s.bytes.substr(0, screen::kBitmapFileSize);
    if (screen::CheckScreenBitmap(bitmap) != screen::kBitmapOk) {
        const QImage image = QImage::fromData(QByteArray::fromStdString(s.bytes));
        if (image.isNull())
            return Fault(msg::Id::JobFileBadFormat, {p.name, s.step.file});
        bitmap = screen::BitmapFromLitRows(screen::ImportPicture(image, s.step.picture));
    }
    const screen::ScreenData data = screen::ScreenDataFromBitmap(bitmap);
    s.bytes.assign(data.begin(), data.end());
    return std::nullopt;
}

std::optional<JobFault> PrepareStep(const PreparedJob& p, PreparedStep& s) {
    switch (s.step.kind) {
        case StepKind::Program:
            return PrepareProgram(p, s);
        case StepKind::Params:
            if (registers::CheckRegisterBytes(s.bytes) != registers::CheckResult::RegisterFile)
                return Fault(msg::Id::JobFileBadFormat, {p.name, s.step.file});
            return std::nullopt;
        case StepKind::Screen:
            return PrepareScreen(p, s);
    }
    return std::nullopt;
}

// Reads one input of the job; a path from the root or to no regular file is refused.
std::optional<JobFault> ReadInput(PreparedJob& p, const std::string& file, std::string& bytes) {
    const std::filesystem::path given(std::u8string(file.begin(), file.end()));
    if (given.is_absolute() || given.has_root_name())
        return Fault(msg::Id::JobPathNotRelative, {p.name, file});
    const std::filesystem::path path = Resolve(p.path, file);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return Fault(msg::Id::JobInputUnreadable, {p.name, file}, 4);
    switch (fileio::ReadLimited(path, kMaxInputSize, bytes)) {
        case fileio::ReadStatus::Ok:
            break;
        case fileio::ReadStatus::TooLarge:
            return Fault(msg::Id::JobFileBadFormat, {p.name, file});
        case fileio::ReadStatus::Unreadable:
            return Fault(msg::Id::JobInputUnreadable, {p.name, file}, 4);
    }
    p.hashes[file] = Sha256Hex(bytes);
    p.sizes[file] = static_cast<std::int64_t>(bytes.size());
    return std::nullopt;
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
    return QCryptographicHash::hash(
               QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

Preparation PrepareJob(const std::filesystem::path& jobPath, Job job) {
    Preparation result;
    PreparedJob p;
    p.path = jobPath;
    p.name = jobPath.string();
    p.job = std::move(job);
    for (const Step& step : p.job.steps) {
        PreparedStep s{step, {}, {}};
        if (auto fault = ReadInput(p, step.file, s.bytes)) {
            result.fault = *fault;
            return result;
        }
        if (auto fault = PrepareStep(p, s)) {
            result.fault = *fault;
            return result;
        }
        p.steps.push_back(std::move(s));
    }
    if (p.job.stamp.kind == StampKind::Csv) {
        std::string bytes;
        if (auto fault = ReadInput(p, p.job.stamp.csv, bytes)) {
            result.fault = *fault;
            return result;
        }
        UnitRows rows = ReadUnitRows(p.job.stamp.csv, bytes);
        if (rows.fault) {
            result.fault = *rows.fault;
            return result;
        }
        p.csvRows = std::move(rows.rows);
    }
    result.prepared = std::move(p);
    return result;
}

std::vector<std::string> ChangedSinceApproval(const PreparedJob& prepared) {
    std::vector<std::string> changed;
    for (const auto& [file, hash] : prepared.hashes) {
        const auto approved = prepared.job.approved.find(file);
        if (approved == prepared.job.approved.end() || approved->second != hash)
            changed.push_back(file);
    }
    return changed;
}

std::string ApprovalHash(const std::map<std::string, std::string>& approved) {
    std::string all;
    for (const auto& [file, hash] : approved)
        all += file + " " + hash + "\n";
    return Sha256Hex(all);
}

}  // namespace jobs
