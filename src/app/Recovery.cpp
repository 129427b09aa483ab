#include "Recovery.h"

#include "MainFormClass.h"
#include "fxr/FixtureJson.h"
#include "fxr/FixtureReader.h"
#include "fxr/SaveFile.h"
#include "model/FixClasses.h"
#include "palettes/QtText.h"
#include "platform/CodePage.h"
#include "platform/UserDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int Slots = 16;
constexpr std::string_view Mark = "Rigsmith unsaved work";
// Copies of earlier versions: this first line, then the fixture in format 2.
constexpr std::string_view OldMark = "// Rigsmith unsaved work";

// The directory of the fixture's file, absolute, so that the copy means the same file whatever
// directory the next editor starts in. Paths are bytes; the code page keeps every byte of them.
std::string AbsoluteDir(const TFixture &fixture)
{
    if (fixture.FileName.empty())
        return fixture.FileDir;
    std::error_code error;
    const fs::path dir = fixture.FileDir.empty() ? fs::current_path(error) : fs::absolute(fixture.FileDir, error);
    return error ? fixture.FileDir : dir.lexically_normal().string();
}

std::string CopyText(const TFixture &fixture)
{
    const nlohmann::ordered_json copy = {
        {"Rigsmith", Mark}, {"FileDir", Cp1252ToUtf8(AbsoluteDir(fixture))}, {"Fixture", FixtureToJson(fixture)}};
    return copy.dump(1) + "\n";
}

// The fixture a copy holds, with the file and format it had. Throws what the copy is not.
TFixture ReadCopy(const QByteArray &bytes)
{
    if (bytes.startsWith(QByteArray::fromStdString(std::string(OldMark)))) {
        const qsizetype end = bytes.indexOf("\r\n");
        const QList<QByteArray> fields = bytes.left(end).split('\t');
        if (end < 0 || fields.size() != 4)
            throw std::runtime_error("the first line is cut");
        std::istringstream in(bytes.mid(end + 2).toStdString());
        TFixture fixture;
        ReadFixture(in, fixture);
        fixture.FormatVersion = fields[1] == "1" ? 1 : 2;
        fixture.FileDir = fields[2].toStdString();
        fixture.FileName = fields[3].toStdString();
        return fixture;
    }
    const nlohmann::json copy = nlohmann::json::parse(bytes.begin(), bytes.end());
    if (copy.at("Rigsmith") != Mark)
        throw std::runtime_error("it is not a copy of unsaved work");
    TFixture fixture = FixtureFromJson(copy.at("Fixture"));
    fixture.FileDir = Utf8ToCp1252(copy.at("FileDir").get<std::string>());
    return fixture;
}

std::string FileText(const TFixture &fixture)
{
    return PathText((fs::path(fixture.FileDir) / fixture.FileName).string());
}

} // namespace

TRecovery::TRecovery(const TFixture &fixture, const QString &directory, QObject *parent)
    : QObject(parent), fixture_(fixture), directory_(directory)
{
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    if (!QDir().mkpath(directory)) {
        problem_ = "the directory " + PathText(PathFromQt(directory)) + " cannot be made";
        return;
    }
    for (int slot = 0; slot < Slots; ++slot) {
        const QString base = QDir(directory).filePath("unsaved-" + QString::number(slot));
        auto lock = std::make_unique<QLockFile>(base + ".lock");
        // A slot stays taken for as long as its editor runs, however long that is.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            copyPath_ = base + ".json";
            return;
        }
        if (lock->error() != QLockFile::LockFailedError) {
            problem_ = "no lock can be taken in " + PathText(PathFromQt(directory));
            return;
        }
    }
    problem_ = "every slot in " + PathText(PathFromQt(directory)) + " is taken by a running editor";
}

TRecovery::~TRecovery() = default;

QString TRecovery::DefaultDirectory()
{
    const QString configured = qEnvironmentVariable("RIGSMITH_RECOVERY_DIR");
    if (!configured.isEmpty())
        return configured;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath("unsaved");
}

void TRecovery::Warn(const std::string &problem)
{
    if (warned_)
        return;
    warned_ = true;
    Dialogs().ShowMessage(TMessageKind::Warning, "Unsaved work cannot be copied aside: " + problem +
                                                     ". Rigsmith goes on, but a crash would lose the changes made "
                                                     "since the last save.");
}

void TRecovery::Start(int intervalMs)
{
    if (!Active()) {
        Warn(problem_);
        return;
    }
    timer_.start(intervalMs);
}

void TRecovery::Poll()
{
    if (!Active())
        return;
    const TFixture &fixture = fixture_;
    if (fixture.Saved) {
        Discard();
        return;
    }
    // Making the copy's text costs time in proportion to the fixture; only a change is worth it.
    if (!changed_ && !written_.empty())
        return;
    std::string text = CopyText(fixture);
    changed_ = false;
    if (text == written_)
        return;
    // A full disk keeps the last copy; the next change tries again.
    try {
        if (!ReplaceFileContents(PathFromQt(copyPath_), text)) {
            Warn(PathText(PathFromQt(copyPath_)) + " cannot be written");
            return;
        }
        written_ = std::move(text);
    } catch (const std::exception &error) {
        Warn(error.what());
    }
}

bool TRecovery::Offer(TMainFormClass &controller, const std::string &startFile)
{
    if (!Active())
        return false;
    // This slot's copy first, then those in slots no running editor holds: an editor that ended
    // without saving while another ran left its copy in a slot this one did not take.
    const QString own = copyPath_.left(copyPath_.lastIndexOf('.'));
    if (OfferSlot(own, controller, startFile))
        return true;
    for (int slot = 0; slot < Slots; ++slot) {
        const QString base = QDir(directory_).filePath("unsaved-" + QString::number(slot));
        if (base == own)
            continue;
        QLockFile lock(base + ".lock");
        lock.setStaleLockTime(0);
        if (lock.tryLock(0) && OfferSlot(base, controller, startFile))
            return true;
    }
    return false;
}

bool TRecovery::OfferSlot(const QString &base, TMainFormClass &controller, const std::string &startFile)
{
    QString path = base + ".json";
    if (!QFile::exists(path))
        path = base + ".fxr";
    QFile file(path);
    if (!file.exists())
        return false;
    TFixture copy;
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(file.errorString().toStdString());
        copy = ReadCopy(file.readAll());
    } catch (const std::exception &error) {
        // Kept under a name of its own, where the next copy will not replace it.
        file.close();
        const QString kept = base + "-unreadable-" + QDateTime::currentDateTimeUtc().toString("yyyyMMdd-hhmmss") +
                             path.mid(path.lastIndexOf('.'));
        const QString where = QFile::rename(path, kept) ? kept : path;
        Dialogs().ShowMessage(TMessageKind::Warning, "A copy of work that Rigsmith did not save cannot be read (" +
                                                         std::string(error.what()) + "). It is kept as " +
                                                         PathText(PathFromQt(where)) + ".");
        return false;
    }
    std::string question = "Rigsmith ended without saving the changes to " +
                           (copy.Name.empty() ? std::string("a new fixture") : "\"" + copy.Name + "\"") +
                           (copy.FileName.empty() ? std::string() : " (" + FileText(copy) + ")") + ". Recover them";
    question += startFile.empty() ? "?" : " instead of opening " + PathText(startFile) + "?";
    if (Dialogs().Confirm(question, false) != TAnswer::Yes) {
        QFile::remove(path);
        return false;
    }
    controller.TakeUnsavedFixture(std::move(copy));
    // The work is copied again at once, into this editor's slot, before the copy it came from goes.
    Poll();
    if (path != copyPath_ && !written_.empty())
        QFile::remove(path);
    return true;
}

void TRecovery::Discard()
{
    if (!Active())
        return;
    QFile::remove(copyPath_);
    written_.clear();
    changed_ = true;
}
