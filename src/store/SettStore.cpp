#include "store/SettStore.h"

#include "store/DatabaseFile.h"
#include "store/SettSchema.h"
#include "store/SqlStep.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace loomara {

namespace {

const QString driver = QStringLiteral("QSQLITE");

// A save waits this long for another studio's save to end before it gives up.
const QString busyTimeout = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Names are compared as the user reads them: the same letters whatever their case, and whether
// an accent is typed as one character or two.
QString folded(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toCaseFolded();
}

QString nameKey(const QString& trimmedName) {
    return folded(trimmedName);
}

// A value bound from a null QString is SQL NULL; an empty weft is stored as an empty text.
QString notNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QString describe(const QSqlError& error) {
    QString reason;
    switch (sqliteCode(error)) {
    case sqlite::full:
        reason = QStringLiteral("the disk is full");
        break;
    case sqlite::readOnly:
    case sqlite::cannotOpen:
        reason = QStringLiteral("the file cannot be written");
        break;
    case sqlite::busy:
    case sqlite::locked:
        reason = QStringLiteral("another program kept the file busy");
        break;
    case sqlite::corrupt:
    case sqlite::notADatabase:
        reason = QStringLiteral("the file is damaged");
        break;
    default:
        return error.text().trimmed();
    }
    const QString detail = error.databaseText().trimmed();
    return detail.isEmpty() ? reason : QStringLiteral("%1 (%2)").arg(reason, detail);
}

// Failures that say the folder or the disk will take nothing, as opposed to a damaged file.
bool cannotWrite(const QSqlError& error) {
    const int code = sqliteCode(error);
    return code == sqlite::full || code == sqlite::readOnly || code == sqlite::cannotOpen ||
           code == sqlite::ioError;
}

// What examining an open file found.
struct Verdict {
    enum class Kind { Fresh, Older, Current, Newer, Broken, Failed };
    Kind kind = Kind::Failed;
    qint64 version = 0;
    QString why;     // Broken: for the user
    QSqlError error; // Failed
};

Verdict failedWith(const QSqlError& error) {
    const int code = sqliteCode(error);
    if (code == sqlite::notADatabase) {
        return {Verdict::Kind::Broken, 0, QStringLiteral("it is not a database"), {}};
    }
    if (code == sqlite::corrupt) {
        return {Verdict::Kind::Broken, 0, QStringLiteral("it is damaged"), {}};
    }
    return {Verdict::Kind::Failed, 0, {}, error};
}

// Reads the whole file once (quick_check), so that a truncated or damaged file is found when
// it is opened rather than halfway through a save.
Verdict examine(const QSqlDatabase& db) {
    QSqlQuery query(db);
    // Nothing the file holds (a view, an index on an expression) may call a function that does
    // more than compute.
    if (!run(query, QStringLiteral("PRAGMA trusted_schema = OFF")) ||
        !run(query, QStringLiteral("PRAGMA quick_check"))) {
        return failedWith(query.lastError());
    }
    QStringList problems;
    while (query.next()) {
        problems.append(query.value(0).toString());
    }
    if (query.lastError().isValid()) {
        return failedWith(query.lastError());
    }
    if (problems != QStringList{QStringLiteral("ok")}) {
        return {Verdict::Kind::Broken, 0, QStringLiteral("it is damaged"), {}};
    }
    if (!run(query, QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return failedWith(query.lastError());
    }
    const qint64 version = query.value(0).toLongLong();
    if (!run(query, QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next()) {
        return failedWith(query.lastError());
    }
    const bool empty = query.value(0).toLongLong() == 0;
    query.finish();
    if (version == 0 && empty) {
        return {Verdict::Kind::Fresh, 0, {}, {}};
    }
    if (version <= 0) {
        return {Verdict::Kind::Broken,
                version,
                QStringLiteral("it is a database of another program"),
                {}};
    }
    if (version > settSchemaVersion) {
        return {Verdict::Kind::Newer, version, {}, {}};
    }
    if (version == settSchemaVersion) {
        if (std::optional<QString> problem = settSchemaProblem(db)) {
            return {Verdict::Kind::Broken, version, *problem, {}};
        }
        return {Verdict::Kind::Current, version, {}, {}};
    }
    return {Verdict::Kind::Older, version, {}, {}};
}

qint64 dataVersion(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("PRAGMA data_version")) || !query.next()) {
        return -1;
    }
    return query.value(0).toLongLong();
}

// Rows as stored, skipping any whose texts are longer than this version ever saves: a hostile
// file may hold a gigabyte in one.
const QString selectSetts =
    QStringLiteral("SELECT id, name, sett, weft, saved_at FROM setts "
                   "WHERE length(name) <= ? AND length(sett) <= ? AND length(weft) <= ?");

QVariantList lengthLimits() {
    return {SettStore::longestName, SettStore::longestSett, SettStore::longestSett};
}

SavedSett savedSett(const QSqlQuery& query) {
    return {query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString(),
            QDateTime::fromMSecsSinceEpoch(query.value(4).toLongLong(), Qt::UTC)};
}

} // namespace

QString SettStore::defaultPath() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        data = QDir::home().filePath(QStringLiteral(".local/share"));
    }
    return QDir(data).filePath(QStringLiteral("loomara/setts.sqlite"));
}

int SettStore::schemaVersion() {
    return settSchemaVersion;
}

// Qt SQL's connections are named globals; the address is unique among live stores.
SettStore::SettStore(const QString& path)
    : path_(QFileInfo(path).absoluteFilePath()),
      connection_(QStringLiteral("loomara-setts-%1").arg(reinterpret_cast<quintptr>(this), 0, 16)) {
    open();
}

SettStore::~SettStore() {
    disconnect();
}

StoreState SettStore::state() const {
    return state_;
}

QString SettStore::message() const {
    return message_;
}

bool SettStore::canSave() const {
    return writable_;
}

QString SettStore::lastError() const {
    return lastError_;
}

QSqlDatabase SettStore::database() const {
    return QSqlDatabase::database(connection_, false);
}

bool SettStore::connect(bool readOnly, QSqlError* failure) {
    disconnect();
    connected_ = true;
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connection_);
    db.setDatabaseName(path_);
    db.setConnectOptions(readOnly ? busyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY")
                                  : busyTimeout);
    if (!db.open()) {
        *failure = db.lastError();
        return false;
    }
    return true;
}

void SettStore::disconnect() {
    if (!connected_) {
        return;
    }
    database().close();
    QSqlDatabase::removeDatabase(connection_);
    connected_ = false;
}

void SettStore::refuse(StoreState state, const QString& message) {
    disconnect();
    state_ = state;
    message_ = message;
    writable_ = false;
}

bool SettStore::folderReady(const QString& folder) {
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        refuse(StoreState::Unavailable,
               QStringLiteral("Your saved setts cannot be opened: the SQLite driver of Qt SQL is "
                              "not installed (Debian package libqt6sql6-sqlite)."));
        return false;
    }
    if (!QDir().mkpath(folder)) {
        refuse(StoreState::NotWritable,
               QStringLiteral("The folder %1 cannot be made, so no sett can be saved.")
                   .arg(shown(folder)));
        return false;
    }
    return true;
}

void SettStore::open() {
    const QString folder = QFileInfo(path_).absolutePath();
    if (!folderReady(folder)) {
        return;
    }
    // Another studio may replace an unreadable file at the same moment: then look again.
    for (int look = 0; look < 3; ++look) {
        const FoundFile found = lookAt(path_);
        QString unreadable = found.why;
        switch (found.kind) {
        case FoundFile::Kind::Unreachable:
            refuse(StoreState::Unavailable,
                   QStringLiteral("Your saved setts in %1 cannot be reached (%2).")
                       .arg(shown(path_), found.why));
            return;
        case FoundFile::Kind::Nothing:
            if (!canWriteFolder(folder)) {
                refuse(StoreState::NotWritable,
                       QStringLiteral("The folder %1 cannot be written, so no sett can be saved.")
                           .arg(shown(folder)));
                return;
            }
            startNew({}, {});
            return;
        case FoundFile::Kind::Regular:
            if (std::optional<QString> why =
                    openExisting(canWriteFolder(folder) && canWriteFile(path_), folder)) {
                unreadable = *why;
                break;
            }
            return;
        case FoundFile::Kind::InTheWay:
        case FoundFile::Kind::Unreadable:
        case FoundFile::Kind::NotDatabase:
            break;
        }
        const MovedAside moved = moveAside(path_, found, QDate::currentDate());
        if (moved.outcome == MovedAside::Outcome::Changed) {
            continue;
        }
        if (moved.outcome == MovedAside::Outcome::Failed) {
            refuse(StoreState::Unavailable,
                   QStringLiteral("Your saved setts in %1 cannot be read (%2), and the file could "
                                  "not be moved aside (%3). Nothing was changed, and no sett can "
                                  "be saved.")
                       .arg(shown(path_), unreadable, moved.problem));
            return;
        }
        startNew(moved.to, unreadable);
        return;
    }
    refuse(StoreState::Unavailable,
           QStringLiteral("Your saved setts in %1 kept changing while they were opened; no sett "
                          "can be saved.")
               .arg(shown(path_)));
}

std::optional<QString> SettStore::openExisting(bool writable, const QString& folder) {
    QSqlError failure;
    if (!connect(!writable, &failure)) {
        refuse(StoreState::Unavailable,
               QStringLiteral("Your saved setts in %1 cannot be opened (%2).")
                   .arg(shown(path_), describe(failure)));
        return std::nullopt;
    }
    const Verdict verdict = examine(database());
    switch (verdict.kind) {
    case Verdict::Kind::Broken:
        disconnect();
        return verdict.why;
    case Verdict::Kind::Failed:
        refuse(StoreState::Unavailable,
               QStringLiteral("Your saved setts in %1 cannot be read just now (%2). Nothing was "
                              "changed, and no sett can be saved.")
                   .arg(shown(path_), describe(verdict.error)));
        return std::nullopt;
    case Verdict::Kind::Newer:
        readNewer(verdict.version, writable);
        return std::nullopt;
    case Verdict::Kind::Fresh:
    case Verdict::Kind::Older:
    case Verdict::Kind::Current:
        break;
    }
    if (!writable) {
        state_ = StoreState::NotWritable;
        writable_ = false;
        message_ =
            QStringLiteral("%1 cannot be written, so no sett can be saved; those saved "
                           "before are shown.")
                .arg(canWriteFolder(folder) ? QStringLiteral("The file %1").arg(shown(path_))
                                            : QStringLiteral("The folder %1").arg(shown(folder)));
        return std::nullopt;
    }
    if (verdict.kind != Verdict::Kind::Current) {
        if (std::optional<QSqlError> failed = upgradeSettSchema(database())) {
            refuse(cannotWrite(*failed) ? StoreState::NotWritable : StoreState::Unavailable,
                   QStringLiteral("Your saved setts in %1 could not be brought up to date (%2). "
                                  "Nothing was changed, and no sett can be saved.")
                       .arg(shown(path_), describe(*failed)));
            return std::nullopt;
        }
    }
    state_ = StoreState::Open;
    message_.clear();
    writable_ = true;
    return std::nullopt;
}

void SettStore::readNewer(qint64 version, bool writable) {
    // Refused rather than moved aside: nothing is lost, and the newer version still finds
    // its file as it left it. Its setts are read where the columns this version knows are
    // still there.
    QSqlError failure;
    if (writable && !connect(true, &failure)) {
        refuse(StoreState::Unavailable,
               QStringLiteral("Your saved setts in %1 cannot be opened (%2).")
                   .arg(shown(path_), describe(failure)));
        return;
    }
    state_ = StoreState::NotWritable;
    writable_ = false;
    message_ = QStringLiteral("Your saved setts in %1 were saved by a newer version of "
                              "Loomara (file version %2; this one knows up to %3). They are "
                              "shown, but no sett can be saved until that version is used "
                              "again, so that the file stays as it left it.")
                   .arg(shown(path_))
                   .arg(version)
                   .arg(settSchemaVersion);
}

void SettStore::startNew(const QString& movedTo, const QString& why) {
    const QString aside = movedTo.isEmpty()
                              ? QString()
                              : QStringLiteral("Your saved setts in %1 could not be read (%2). "
                                               "The file was moved, unchanged, to %3.")
                                    .arg(shown(path_), why, shown(movedTo));
    QSqlError failure;
    std::optional<QSqlError> failed;
    if (!connect(false, &failure)) {
        failed = failure;
    } else {
        failed = upgradeSettSchema(database());
    }
    if (failed) {
        const QString reason = QStringLiteral("A new file of saved setts could not be started "
                                              "in %1 (%2), so no sett can be saved.")
                                   .arg(shown(path_), describe(*failed));
        refuse(cannotWrite(*failed) ? StoreState::NotWritable : StoreState::Unavailable,
               aside.isEmpty() ? reason : aside + QLatin1Char(' ') + reason);
        return;
    }
    state_ = movedTo.isEmpty() ? StoreState::Open : StoreState::MovedAside;
    message_ = aside.isEmpty() ? QString() : aside + QStringLiteral(" A new file was started.");
    writable_ = true;
}

QList<SavedSett> SettStore::list(const QString& filter) const {
    lastError_.clear();
    QList<SavedSett> setts;
    if (!connected_) {
        return setts;
    }
    const QSqlDatabase db = database();
    // Taken first: a change that lands while the rows are read shows as a change next time.
    const qint64 version = dataVersion(db);
    QSqlQuery query(db);
    if (!run(query, selectSetts + QStringLiteral(" ORDER BY id DESC"), lengthLimits())) {
        lastError_ = QStringLiteral("Your saved setts could not be read: %1.")
                         .arg(describe(query.lastError()));
        return setts;
    }
    const QString wanted = folded(filter);
    while (query.next()) {
        SavedSett saved = savedSett(query);
        if (wanted.isEmpty() || folded(saved.name).contains(wanted)) {
            setts.append(std::move(saved));
        }
    }
    if (query.lastError().isValid()) {
        lastError_ = QStringLiteral("Your saved setts could not all be read: %1.")
                         .arg(describe(query.lastError()));
    }
    listedVersion_ = version;
    changedHere_ = false;
    return setts;
}

std::optional<SavedSett> SettStore::find(const QString& name) const {
    lastError_.clear();
    const QString trimmed = name.trimmed();
    if (!connected_ || trimmed.isEmpty()) {
        return std::nullopt;
    }
    QSqlQuery query(database());
    QVariantList values = lengthLimits();
    values.append(nameKey(trimmed));
    if (!run(query, selectSetts + QStringLiteral(" AND name_key = ?"), values)) {
        lastError_ = QStringLiteral("Your saved setts could not be read: %1.")
                         .arg(describe(query.lastError()));
        return std::nullopt;
    }
    if (!query.next()) {
        return std::nullopt;
    }
    return savedSett(query);
}

SettStore::SaveResult SettStore::save(const QString& name, const QString& sett, const QString& weft,
                                      bool replace) {
    lastError_.clear();
    const QString trimmed = name.trimmed();
    const auto notSaved = [this](const QString& why) {
        lastError_ = why;
        return SaveResult::Failed;
    };
    if (!writable_) {
        lastError_ = message_;
        return SaveResult::Failed;
    }
    if (trimmed.isEmpty()) {
        return notSaved(QStringLiteral("it needs a name."));
    }
    if (trimmed.size() > longestName) {
        return notSaved(QStringLiteral("its name is longer than %1 characters.").arg(longestName));
    }
    if (sett.size() > longestSett || weft.size() > longestSett) {
        return notSaved(QStringLiteral("it is longer than %1 characters.").arg(longestSett));
    }
    const QSqlDatabase db = database();
    const QString key = nameKey(trimmed);
    WriteTransaction transaction(db);
    if (std::optional<QSqlError> failed = transaction.begin()) {
        return notSaved(describe(*failed) + QLatin1Char('.'));
    }
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("SELECT count(*) FROM setts WHERE name_key = ?"), {key}) ||
        !query.next()) {
        return notSaved(describe(query.lastError()) + QLatin1Char('.'));
    }
    const bool exists = query.value(0).toLongLong() > 0;
    query.finish();
    if (exists && !replace) {
        return SaveResult::NameExists;
    }
    if (exists && !run(query, QStringLiteral("DELETE FROM setts WHERE name_key = ?"), {key})) {
        return notSaved(describe(query.lastError()) + QLatin1Char('.'));
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!run(query,
             QStringLiteral("INSERT INTO setts (name, name_key, sett, weft, saved_at) "
                            "VALUES (?, ?, ?, ?, ?)"),
             {trimmed, key, notNull(sett), notNull(weft), now}) ||
        query.numRowsAffected() != 1) {
        return notSaved(describe(query.lastError()) + QLatin1Char('.'));
    }
    if (std::optional<QSqlError> failed = transaction.commit()) {
        return notSaved(describe(*failed) + QLatin1Char('.'));
    }
    changedHere_ = true;
    return SaveResult::Saved;
}

bool SettStore::remove(const QString& name) {
    lastError_.clear();
    const auto notRemoved = [this](const QString& why) {
        lastError_ = why;
        return false;
    };
    if (!writable_) {
        lastError_ = message_;
        return false;
    }
    const QString trimmed = name.trimmed();
    const QSqlDatabase db = database();
    WriteTransaction transaction(db);
    if (std::optional<QSqlError> failed = transaction.begin()) {
        return notRemoved(describe(*failed) + QLatin1Char('.'));
    }
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("DELETE FROM setts WHERE name_key = ?"), {nameKey(trimmed)})) {
        return notRemoved(describe(query.lastError()) + QLatin1Char('.'));
    }
    if (query.numRowsAffected() < 1) {
        return notRemoved(QStringLiteral("no saved sett is named \"%1\".").arg(trimmed));
    }
    if (std::optional<QSqlError> failed = transaction.commit()) {
        return notRemoved(describe(*failed) + QLatin1Char('.'));
    }
    changedHere_ = true;
    return true;
}

bool SettStore::changedSinceLastList() const {
    if (changedHere_ || listedVersion_ < 0) {
        return connected_;
    }
    // data_version moves when another connection commits; this store's own saves set
    // changedHere_.
    return connected_ && dataVersion(database()) != listedVersion_;
}

} // namespace loomara
