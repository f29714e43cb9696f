#pragma once
// Notices at once when a file that follow mode reads changes: the design program's
// "ORX.INI" and the current model. Their folders are watched as well, so that a file
// written anew (deleted and created, or renamed over the old one) and a file that
// did not exist yet are noticed too. Reports once the changes have been quiet for a
// short while, so that a file written in several steps is reported once, when done.
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

namespace orx {

class FollowWatcher : public QObject {
    Q_OBJECT
public:
    // How long the changes must be quiet before they are reported.
    static constexpr int kQuietMilliseconds = 50;

    explicit FollowWatcher(QObject* parent = nullptr);

    // Watches these files (and their folders) instead of the ones before.
    void Watch(const std::vector<std::string>& files);
    const std::vector<std::string>& Files() const { return m_files; }

signals:
    // The watched files changed, and nothing has changed since for kQuietMilliseconds.
    void Settled();

private:
    void Changed();
    // Adds every wanted path that exists and is not watched (a replaced file drops
    // out of the watch).
    void Rewatch();

    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    std::vector<std::string> m_files;
    QStringList m_wanted;  // the files and their folders
};

}  // namespace orx
