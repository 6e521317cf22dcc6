#include "platform/shell/profile_store.h"

#include <QSettings>
#include <QStringList>

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
    QString k = QString::fromStdString(key);
    return section.empty() ? k : QString::fromStdString(section) + '/' + k;
}

}  // namespace

std::unique_ptr<ProfileStore> ProfileStore::ForScope(const std::string& organization,
                                                     const std::string& application) {
    return std::unique_ptr<ProfileStore>(new ProfileStore(std::make_unique<QSettings>(
        QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(organization),
        QString::fromStdString(application))));
}

ProfileStore::ProfileStore(const std::string& iniPath)
    : ProfileStore(
          std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

ProfileStore::ProfileStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {}

ProfileStore::~ProfileStore() = default;

int ProfileStore::GetProfileInt(const std::string& section, const std::string& key,
                                int defaultValue) const {
    QVariant value = settings_->value(KeyPath(section, key));
    if (!value.isValid() || value.typeId() == QMetaType::QStringList) return defaultValue;
    bool ok = false;
    int n = value.toString().trimmed().toInt(&ok);
    return ok ? n : defaultValue;
}

std::string ProfileStore::GetProfileString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue) const {
    QVariant value = settings_->value(KeyPath(section, key));
    if (!value.isValid()) return defaultValue;
    // An unquoted text holding commas reads back as a list: it is still one text.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    return value.toString().toStdString();
}

void ProfileStore::WriteProfileInt(const std::string& section, const std::string& key,
                                   int value) {
    settings_->setValue(KeyPath(section, key), value);
    settings_->sync();
}

void ProfileStore::WriteProfileString(const std::string& section, const std::string& key,
                                      const std::string& value) {
    settings_->setValue(KeyPath(section, key), QString::fromStdString(value));
    settings_->sync();
}

bool ProfileStore::Contains(const std::string& section, const std::string& key) const {
    return settings_->contains(KeyPath(section, key));
}

std::optional<std::string> ProfileStore::ExistingSection(const std::string& section) const {
    const QString wanted = QString::fromStdString(section);
    const QStringList groups = settings_->childGroups();
    if (groups.contains(wanted)) return section;
    for (const QString& group : groups) {
        if (group.compare(wanted, Qt::CaseInsensitive) == 0) return group.toStdString();
    }
    return std::nullopt;
}

std::string ProfileStore::FileName() const { return settings_->fileName().toStdString(); }
