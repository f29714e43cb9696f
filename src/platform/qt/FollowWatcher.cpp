#include "platform/qt/FollowWatcher.h"

#include <QDir>
#include <QFileInfo>

namespace orx {

FollowWatcher::FollowWatcher(QObject* parent) : QObject(parent) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMilliseconds);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { Changed(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { Changed(); });
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        Rewatch();
        emit Settled();
    });
}

void FollowWatcher::Watch(const std::vector<std::string>& files) {
    m_files = files;
    m_wanted.clear();
    for (const std::string& file : files) {
        const QString path = QString::fromStdString(file);
        const QString folder = QFileInfo(path).absolutePath();
        if (!m_wanted.contains(path)) m_wanted.append(path);
        if (!m_wanted.contains(folder)) m_wanted.append(folder);
    }
    QStringList unwanted;
    for (const QString& watched : m_watcher.files() + m_watcher.directories())
        if (!m_wanted.contains(watched)) unwanted.append(watched);
    if (!unwanted.isEmpty()) m_watcher.removePaths(unwanted);
    Rewatch();
}

void FollowWatcher::Changed() {
    Rewatch();
    // Every change restarts the wait: the report comes after the last one.
    m_quiet.start();
}

void FollowWatcher::Rewatch() {
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList missing;
    for (const QString& path : m_wanted)
        if (!watched.contains(path) && QFileInfo::exists(path)) missing.append(path);
    if (!missing.isEmpty()) m_watcher.addPaths(missing);
}

}  // namespace orx
