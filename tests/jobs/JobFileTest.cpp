#include <gtest/gtest.h>

#include <string>

#include "emulator/UnitLine.h"
#include "jobs/JobEditing.h"
#include "jobs/JobFile.h"
#include "jobs/JobInputs.h"
#include "jobs/Stamping.h"
#include "registers/RegisterFile.h"
#include "tests/support/TempFolder.h"

namespace {

struct BadJob {
    const char* json;
    msg::Id fault;
    const char* named;  // the line or field the message must name
};

// Each kind of malformed job, refused with what is wrong and where.
const BadJob kBadJobs[] = {
    {"{\"format\": 1,\n \"steps\": [\n {\"program\": \"a.kxo\",}\n]}", msg::Id::JobBadJson,
     "第 3 行"},
    {"[1, 2]", msg::Id::JobBadJson, "第 1 行"},
    {R"({"format": 2, "steps": [{"program": "a.kxo"}]})", msg::Id::JobFormatVersion, "2"},
    {R"({"steps": [{"program": "a.kxo"}]})", msg::Id::JobFieldMissing, "format"},
    {R"({"format": 1, "steps": []})", msg::Id::JobFieldBad, "steps"},
    {R"({"format": 1, "steps": [{"program": "a.kxo"}, {"firmware": "x.bin"}]})",
     msg::Id::JobUnknownStep, "steps[2]"},
    {R"({"format": 1, "steps": [{"params": "r.dat", "page": "one"}]})", msg::Id::JobFieldBad,
     "steps[1].page"},
    {R"({"format": 1, "steps": [{"params": "r.dat", "pgae": 2}]})", msg::Id::JobUnknownField,
     "steps[1].pgae"},
    {R"({"format": 1, "steps": [{"screen": "s.png", "kind": "splash"}]})", msg::Id::JobFieldBad,
     "steps[1].kind"},
    {R"({"format": 1, "steps": [{"screen": "s.png", "kind": "parameter", "registers": [1, 2, 3]}]})",
     msg::Id::JobFieldBad, "steps[1].registers"},
    {R"({"format": 1, "steps": [{"screen": "s.png", "kind": "status", "number": 768}]})",
     msg::Id::JobFieldBad, "steps[1].number"},
    // Numbers far outside any range (found by fuzzing: the conversion itself was undefined).
    {R"({"format": 1, "steps": [{"screen": "s.png", "kind": "parameter", "registers": [1, 2, 3, 5e120]}]})",
     msg::Id::JobFieldBad, "steps[1].registers"},
    {R"({"format": 1, "steps": [{"params": "r.dat", "page": 1e300}]})", msg::Id::JobFieldBad,
     "steps[1].page"},
    {R"({"format": 1, "steps": [{"params": "r.dat"}], "stamp": {"register": 4096, "start": 1}})",
     msg::Id::JobStampRegisterRange, "4096"},
    {R"({"format": 1, "steps": [{"program": "a.kxo"}], "stamp": {"register": 100, "start": 1}})",
     msg::Id::JobStampNoRegisterFile, "100"},
    {R"({"format": 1, "steps": [{"params": "r.dat"}], "stamp": {"register": 1, "start": -5}})",
     msg::Id::JobFieldBad, "stamp.start"},
    {R"({"format": 1, "steps": [{"program": "a.kxo"}], "pin": "1234"})", msg::Id::JobFieldBad,
     "pin"},
};

TEST(JobReader, RefusesEachKindOfBadJobNamingTheLineOrField) {
    for (const BadJob& bad : kBadJobs) {
        const jobs::JobRead read = jobs::ParseJob("j.tvjob", bad.json);
        ASSERT_FALSE(read.job) << bad.json;
        EXPECT_EQ(read.fault.id, bad.fault) << bad.json << "\n" << read.fault.Text();
        EXPECT_NE(read.fault.Text().find(bad.named), std::string::npos) << read.fault.Text();
        EXPECT_NE(read.fault.Text().find("j.tvjob"), std::string::npos) << read.fault.Text();
    }
}

TEST(JobReader, WrittenJobReadsBackTheSame) {
    jobs::Job job;
    job.steps.push_back({jobs::StepKind::Program, "p/demo.kxc", 3, {}, {}, {}});
    job.steps.push_back({jobs::StepKind::Params, "regs.dat", 2, {}, {}, {}});
    jobs::Step screen{jobs::StepKind::Screen,      "logo.png",   5,
                      ctrl::ScreenKind::Parameter, {1, 2, 3, 4}, {}};
    screen.picture.dither = screen::Dither::FloydSteinberg;
    screen.picture.threshold = 90;
    job.steps.push_back(screen);
    job.stamp = {jobs::StampKind::Counter, 100, 1000, 2, 6, {}};
    job.approved["regs.dat"] = "ab";
    job.pinSha256 = jobs::PinHash("1234");
    const jobs::JobRead read = jobs::ParseJob("j", jobs::JobText(job));
    ASSERT_TRUE(read.job) << read.fault.Text();
    EXPECT_EQ(jobs::JobText(*read.job), jobs::JobText(job));
    EXPECT_EQ(read.job->steps[2].registers, (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(read.job->steps[2].picture.threshold, 90);
    EXPECT_EQ(read.job->stamp.digits, 6);
    EXPECT_TRUE(jobs::PinMatches(*read.job, "1234"));
    EXPECT_FALSE(jobs::PinMatches(*read.job, "4321"));
}

TEST(Stamping, CounterTextPadsToDigitsAndRefusesWhatDoesNotFit) {
    const struct {
        std::int64_t value;
        int digits;
        std::optional<std::string> text;
    } rows[] = {
        {7, 4, "0007"}, {1000, 4, "1000"},           {10000, 4, std::nullopt},     {42, 0, "42"},
        {0, 1, "0"},    {123456789, 9, "123456789"}, {1234567890, 0, std::nullopt}};
    for (const auto& row : rows)
        EXPECT_EQ(jobs::CounterText(row.value, row.digits), row.text) << row.value;
}

std::string RegisterFileWith(int lines) {
    std::string bytes = std::string(registers::kIdentification) + "\r\n";
    for (int k = 0; k < lines; ++k)
        bytes += registers::RegisterLine(k, "5") + "\r\n";
    return bytes;
}

TEST(Stamping, ValuesGoIntoTheCopyAtTheirRegistersOnly) {
    const std::string file = RegisterFileWith(200);
    const jobs::UnitStamp stamp{"u1", {{100, "1000"}, {4095, "-3"}}};
    const std::string stamped = jobs::StampRegisters(file, stamp);
    ASSERT_FALSE(stamped.empty());
    EXPECT_EQ(registers::ReadRegisterPageBytes(stamped, 96).texts[4], "1000");
    EXPECT_EQ(registers::ReadRegisterPageBytes(stamped, 96).texts[3], "5");
    EXPECT_EQ(registers::ReadRegisterPageBytes(stamped, 4080).texts[15], "-3");
    EXPECT_EQ(jobs::StampRegisters(file, {"u0", {}}), file);
}

TEST(Stamping, UnitRowsFromCsvAndTheirFaultsByLine) {
    const auto good = jobs::ReadUnitRows("u.csv", "unit,S0100,s7\r\nA-1,1000,5\n\nA-2, 1001 ,6\n");
    ASSERT_FALSE(good.fault);
    ASSERT_EQ(good.rows.size(), 2u);
    EXPECT_EQ(good.rows[1].unit, "A-2");
    EXPECT_EQ(good.rows[1].values,
              (std::vector<std::pair<int, std::string>>{{100, "1001"}, {7, "6"}}));
    const struct {
        const char* csv;
        msg::Id fault;
        const char* line;
    } bad[] = {{"id,S0100\n1,2\n", msg::Id::JobCsvBadHeader, "第 1 行"},
               {"unit,S4096\n1,2\n", msg::Id::JobCsvBadColumn, "第 1 行"},
               {"unit,S0100\n1,2\n2\n", msg::Id::JobCsvBadRow, "第 3 行"},
               {"unit,S0100\n1,2\n,3\n", msg::Id::JobCsvBadRow, "第 3 行"},
               {"unit,S0100\n1,2\n2,3\n1,4\n", msg::Id::JobCsvDuplicateUnit, "第 4 行"},
               {"unit\n", msg::Id::JobCsvBadHeader, "第 1 行"}};
    for (const auto& row : bad) {
        const auto read = jobs::ReadUnitRows("u.csv", row.csv);
        ASSERT_TRUE(read.fault) << row.csv;
        EXPECT_EQ(read.fault->id, row.fault) << row.csv;
        EXPECT_NE(read.fault->Text().find(row.line), std::string::npos) << read.fault->Text();
    }
}

class Approval : public testsupport::TempFolder {
protected:
    Approval() : TempFolder("tarvex-job-approval") {}
};

TEST_F(Approval, AnyChangedInputAfterApprovalIsNamed) {
    Write(RegisterFileWith(4), "regs.dat");
    Write("unit,S0001\nA,1\n", "units.csv");
    jobs::Job job;
    job.steps.push_back({jobs::StepKind::Params, "regs.dat", 1, {}, {}, {}});
    job.stamp.kind = jobs::StampKind::Csv;
    job.stamp.csv = "units.csv";
    auto prepared = jobs::PrepareJob(folder / "j.tvjob", job);
    ASSERT_TRUE(prepared.prepared) << prepared.fault.Text();
    EXPECT_EQ(jobs::ChangedSinceApproval(*prepared.prepared).size(), 2u);  // never approved
    job.approved = prepared.prepared->hashes;
    EXPECT_TRUE(
        jobs::ChangedSinceApproval(*jobs::PrepareJob(folder / "j.tvjob", job).prepared).empty());
    Write("unit,S0001\nA,2\n", "units.csv");
    EXPECT_EQ(jobs::ChangedSinceApproval(*jobs::PrepareJob(folder / "j.tvjob", job).prepared),
              std::vector<std::string>{"units.csv"});
}

TEST_F(Approval, InputsAreCheckedBeforeAnythingIsSent) {
    Write(RegisterFileWith(4), "regs.dat");
    Write("        MOV M1,0\r\n        BOGUS 1\r\n        END\r\n", "bad.kxc");
    Write("not an object", "bad.kxo");
    const struct {
        jobs::Step step;
        msg::Id fault;
    } rows[] = {
        {{jobs::StepKind::Program, "bad.kxc", 1, {}, {}, {}}, msg::Id::JobCompileRefused},
        {{jobs::StepKind::Program, "bad.kxo", 1, {}, {}, {}}, msg::Id::JobFileBadFormat},
        {{jobs::StepKind::Params, "missing.dat", 1, {}, {}, {}}, msg::Id::JobInputUnreadable},
        {{jobs::StepKind::Params, "/etc/passwd", 1, {}, {}, {}}, msg::Id::JobPathNotRelative},
        {{jobs::StepKind::Screen, "regs.dat", 0, {}, {}, {}}, msg::Id::JobFileBadFormat}};
    for (const auto& row : rows) {
        jobs::Job job;
        job.steps.push_back(row.step);
        const auto prepared = jobs::PrepareJob(folder / "j.tvjob", job);
        EXPECT_FALSE(prepared.prepared) << row.step.file;
        EXPECT_EQ(prepared.fault.id, row.fault) << row.step.file << ": " << prepared.fault.Text();
    }
}

// The line of units on an injected clock: silent for the swap after each farewell and until a
// byte has gone unanswered, then the next unit answers; only the faulty unit misbehaves.
TEST(UnitLine, NextUnitAnswersOnlyAfterTheSwapTime) {
    using namespace std::chrono_literals;
    emu::UnitLine::Clock::time_point now{};
    emu::Faults faults;
    faults.neverAnswer = true;
    emu::UnitLine line(3, 200ms, faults, 2, [&] { return now; });
    const std::vector<std::uint8_t> answered{1};
    EXPECT_EQ(line.Feed(1), answered);
    line.Feed(136);
    now += 199ms;
    EXPECT_TRUE(line.Feed(1).empty());  // carried away
    now += 1ms;
    EXPECT_TRUE(line.Feed(1).empty());  // unit 2, the faulty one
    EXPECT_EQ(line.Unit(), 2);
    line.Feed(136);
    // A host busy through the whole swap asks only after it: that byte finds the unit gone.
    now += 500ms;
    EXPECT_TRUE(line.Feed(1).empty());
    EXPECT_EQ(line.Unit(), 2);
    EXPECT_EQ(line.Feed(1), answered);
    EXPECT_EQ(line.Unit(), 3);
    line.Feed(136);
    now += 1s;
    EXPECT_TRUE(line.Feed(1).empty());  // no fourth unit
}

}  // namespace
