#pragma once
// The standard dialogs as the viewer shows them: file dialogs with the viewer's
// filters, initial name and default extension, in German.
#include <QFileDialog>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/Platform.h"

class QCoreApplication;

namespace orx {

// Qt name filters for a filter of the form "A (*.x)|*.x|B (*.y)|*.y||": each label with
// the patterns of its pair. "*.*", every file on Windows, becomes "*" here, as a name
// without a dot is a file too.
QStringList NameFilters(const std::string& filter);

// A file dialog in which a name with wildcards ("*.jpg") lists the matching files
// instead of being chosen, as the initial name "*.jpg" does on Windows.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, const FileDialogSpec& spec, bool save);
    void accept() override;

private:
    // A name typed without extension takes that of the chosen file type; with a type of
    // any extension ("All Files") the dialog's own default extension.
    void TakeSuffixOf(const QString& nameFilter);
    QString m_defaultSuffix;
};

// Installs Qt's own German translation, so that the standard dialogs speak German like
// the rest of the program. False when it is not installed: the dialogs stay English.
bool InstallGermanTranslation(QCoreApplication& app);

}  // namespace orx
