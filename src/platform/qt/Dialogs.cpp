#include "platform/qt/Dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orx {

namespace {

bool HasWildcard(const QString& name) { return name.contains('*') || name.contains('?'); }

// The patterns of a Qt name filter "Label (*.a *.b)".
QStringList PatternsOf(const QString& nameFilter) {
    const qsizetype open = nameFilter.lastIndexOf('(');
    const qsizetype close = nameFilter.lastIndexOf(')');
    if (open < 0 || close < open) return {nameFilter.trimmed()};
    return nameFilter.mid(open + 1, close - open - 1).split(' ', Qt::SkipEmptyParts);
}

}  // namespace

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == "*.*") pattern = "*";
        }
        // The label's own pattern list is replaced by the patterns themselves.
        QString label = parts[i];
        const qsizetype open = label.lastIndexOf('(');
        if (open > 0 && label.endsWith(')')) label.truncate(open);
        result << label.trimmed() + " (" + patterns.join(' ') + ")";
    }
    return result;
}

FileDialog::FileDialog(QWidget* parent, const FileDialogSpec& spec, bool save)
    : QFileDialog(parent) {
    setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    setNameFilters(NameFilters(spec.filter));
    if (spec.selectedFilter > 0 && spec.selectedFilter < nameFilters().size())
        selectNameFilter(nameFilters().at(spec.selectedFilter));
    // "*.jpg", ".jpg" and "jpg" all name the extension "jpg".
    QString suffix = QString::fromStdString(spec.defaultExt);
    if (suffix.startsWith("*.")) suffix = suffix.mid(2);
    if (suffix.startsWith('.')) suffix = suffix.mid(1);
    if (!suffix.isEmpty() && !HasWildcard(suffix)) m_defaultSuffix = suffix;
    setDefaultSuffix(m_defaultSuffix);
    if (save) connect(this, &QFileDialog::filterSelected, this, &FileDialog::TakeSuffixOf);
    if (!spec.initialFolder.empty()) setDirectory(QString::fromStdString(spec.initialFolder));
    // Saving over an existing file is always confirmed: a picture is never replaced by
    // accident.
    setOption(QFileDialog::ReadOnly, false);
    if (!spec.initialName.empty()) selectFile(QString::fromStdString(spec.initialName));
}

void FileDialog::TakeSuffixOf(const QString& nameFilter) {
    const QStringList patterns = PatternsOf(nameFilter);
    const QString only = patterns.size() == 1 ? patterns.first() : QString();
    if (only.startsWith("*.") && !HasWildcard(only.mid(2))) {
        setDefaultSuffix(only.mid(2));
    } else {
        setDefaultSuffix(m_defaultSuffix);
    }
}

void FileDialog::accept() {
    if (acceptMode() == QFileDialog::AcceptSave) TakeSuffixOf(selectedNameFilter());
    const QStringList files = selectedFiles();
    if (files.size() != 1 || !HasWildcard(QFileInfo(files.first()).fileName())) {
        QFileDialog::accept();
        return;
    }
    // A pattern lists what matches it in its folder; the name field keeps the pattern.
    const QFileInfo typed(files.first());
    const QString pattern = typed.fileName();
    if (typed.absolutePath() != directory().absolutePath()) setDirectory(typed.absolutePath());
    QString matching;
    for (const QString& nameFilter : nameFilters())
        if (PatternsOf(nameFilter) == QStringList{pattern}) matching = nameFilter;
    if (matching.isEmpty()) {
        matching = pattern;
        setNameFilters(nameFilters() << pattern);
    }
    selectNameFilter(matching);
    selectFile(pattern);
}

bool InstallGermanTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    app.installTranslator(translator);
    // Dates, sizes and paper units of the dialogs as a German desktop shows them.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return true;
}

}  // namespace orx
