// The Qt front end's menus and dialogs as the user meets them, on the X display: the
// context menu as QMenu holds it, the file dialogs' filters, initial names and default
// extensions, German standard dialogs, and the window's fit to its screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtMath>
#include <functional>
#include <map>
#include <set>

#include "../support/TestSupport.h"
#include "app/ViewerDlg.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/FollowWatcher.h"
#include "platform/qt/PopupMenu.h"
#include "platform/qt/ScreenFit.h"
#include "platform/qt/ViewerWindow.h"

namespace orx {
namespace {

bool g_germanInstalled = false;

// Runs the event loop until the condition holds; false after the ceiling.
bool WaitFor(const std::function<bool()>& condition, int ceilingMs = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ceilingMs) return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// --- context menu ---

// The menu must hold the resource entry by entry: separators, texts, ids, sub-menus.
void ExpectSameEntries(const QMenu& menu, const MenuItem& popup, const std::string& where) {
    EXPECT_FALSE(menu.separatorsCollapsible()) << where;
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(static_cast<size_t>(actions.size()), popup.children.size()) << where;
    for (size_t i = 0; i < popup.children.size(); ++i) {
        const MenuItem& item = popup.children[i];
        const QAction* action = actions[static_cast<qsizetype>(i)];
        const std::string at = where + " entry " + std::to_string(i + 1);
        EXPECT_EQ(action->isSeparator(), item.kind == MenuItem::Separator) << at;
        EXPECT_TRUE(action->isVisible()) << at;
        EXPECT_TRUE(action->isEnabled()) << at;
        EXPECT_FALSE(action->isChecked()) << at;
        if (item.kind == MenuItem::Separator) continue;
        EXPECT_EQ(action->text().toStdString(), item.text) << at;
        if (item.kind == MenuItem::Popup) {
            ASSERT_NE(action->menu(), nullptr) << at;
            ExpectSameEntries(*action->menu(), item, at);
        } else {
            EXPECT_EQ(action->data().toInt(), item.id) << at;
        }
    }
}

TEST(ContextMenu, HoldsTheResourceWithItsLeadingSeparator) {
    QMenu menu;
    FillPopupMenu(menu, CViewerDlg::ContextMenuResource());
    ExpectSameEntries(menu, CViewerDlg::ContextMenuResource(), "menu");

    menu.popup(QPoint(40, 40));
    ASSERT_TRUE(WaitFor([&] { return menu.isVisible(); }));
    // On screen the first line is the separator, above "Automatisch Rotieren".
    const QList<QAction*> actions = menu.actions();
    ASSERT_GE(actions.size(), 2);
    ASSERT_TRUE(actions[0]->isSeparator());
    const QRect separator = menu.actionGeometry(actions[0]);
    const QRect first = menu.actionGeometry(actions[1]);
    EXPECT_GT(separator.height(), 0);
    EXPECT_GE(first.top(), separator.bottom());
    EXPECT_EQ(menu.actionAt(first.center()), actions[1]);
    menu.close();
}

// --- file dialogs ---

const char* const kPictureFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";

FileDialogSpec Spec(const char* defaultExt, const char* initialName, const char* filter) {
    FileDialogSpec spec;
    spec.defaultExt = defaultExt;
    spec.initialName = initialName;
    spec.filter = filter;
    return spec;
}

QLineEdit* NameField(QFileDialog& dialog) { return dialog.findChild<QLineEdit*>("fileNameEdit"); }

// The files the dialog lists in its folder, folders left out.
std::set<QString> Listed(QFileDialog& dialog) {
    std::set<QString> names;
    auto* view = dialog.findChild<QListView*>("listView");
    if (!view || !view->model()) return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        const QModelIndex index = view->model()->index(row, 0, root);
        if (!view->model()->hasChildren(index)) names.insert(index.data().toString());
    }
    return names;
}

TEST(FileDialogs, FiltersInitialNameAndDefaultExtension) {
    struct Case {
        const char* what;
        FileDialogSpec spec;
        bool save;
        QStringList filters;
        QString name;
        QString suffix;
    };
    const QStringList pictureFilters{"Jpeg Files (*.jpg)", "Windows Bitmap Files (*.bmp)",
                                     "All Files (*)"};
    const Case cases[] = {
        {"open model",
         Spec("*.gl", "*.gl", "ORX-openGL Datei (*.gl)|*.gl||"),
         false,
         {"ORX-openGL Datei (*.gl)"},
         "*.gl",
         "gl"},
        {"load texture", Spec("*.jpg", "*.jpg", kPictureFilter), false, pictureFilters, "*.jpg",
         "jpg"},
        {"save picture", Spec("jpg", "*.jpg", kPictureFilter), true, pictureFilters, "*.jpg",
         "jpg"},
    };
    for (const Case& c : cases) {
        FileDialog dialog(nullptr, c.spec, c.save);
        dialog.open();
        ASSERT_TRUE(WaitFor([&] { return dialog.isVisible(); })) << c.what;
        EXPECT_EQ(dialog.nameFilters(), c.filters) << c.what;
        EXPECT_EQ(dialog.selectedNameFilter(), c.filters.first()) << c.what;
        ASSERT_NE(NameField(dialog), nullptr) << c.what;
        EXPECT_EQ(NameField(dialog)->text(), c.name) << c.what;
        EXPECT_EQ(dialog.defaultSuffix(), c.suffix) << c.what;
        EXPECT_EQ(dialog.acceptMode(), c.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen)
            << c.what;
        dialog.reject();
    }
}

TEST(FileDialogs, APatternListsMatchingFilesAndAllFilesListsEveryFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"holz.jpg", "platte.bmp", "LIESMICH", "notiz.txt"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FileDialog dialog(nullptr, Spec("jpg", "*.jpg", kPictureFilter), true);
    dialog.setDirectory(folder.path());
    dialog.open();
    ASSERT_TRUE(WaitFor([&] { return dialog.isVisible() && NameField(dialog); }));
    ASSERT_TRUE(WaitFor([&] { return Listed(dialog) == std::set<QString>{"holz.jpg"}; }))
        << "first filter";

    // Accepting a pattern lists what matches it; no file named "*.bmp" is chosen.
    NameField(dialog)->setText("*.bmp");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.selectedNameFilter(), "Windows Bitmap Files (*.bmp)");
    EXPECT_EQ(NameField(dialog)->text(), "*.bmp");
    EXPECT_TRUE(WaitFor([&] { return Listed(dialog) == std::set<QString>{"platte.bmp"}; }));

    // A pattern without a filter of its own becomes one.
    NameField(dialog)->setText("*.txt");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.selectedNameFilter(), "*.txt");
    EXPECT_TRUE(WaitFor([&] { return Listed(dialog) == std::set<QString>{"notiz.txt"}; }));

    // "All Files" lists names without a dot too.
    dialog.selectNameFilter("All Files (*)");
    EXPECT_TRUE(WaitFor([&] {
        return Listed(dialog) ==
               std::set<QString>{"holz.jpg", "platte.bmp", "LIESMICH", "notiz.txt"};
    }));

    // A name without extension is chosen with the default one.
    NameField(dialog)->setText("bild");
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder.filePath("bild.jpg")});
}

TEST(FileDialogs, SavingTakesTheExtensionOfTheChosenType) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FileDialogSpec spec = Spec("jpg", "*.jpg",
                               "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|"
                               "PNG (*.png)|*.png|All Files (*.*)|*.*||");
    spec.initialFolder = folder.path().toStdString();
    const struct {
        const char* filter;
        const char* typed;
        const char* chosen;
    } rows[] = {
        {"Windows Bitmap Files (*.bmp)", "bild3", "bild3.bmp"},
        {"PNG (*.png)", "bild5", "bild5.png"},
        {"PNG (*.png)", "bild6.jpg", "bild6.jpg"},  // a typed extension stays
        {"All Files (*)", "bild7", "bild7.jpg"},    // the dialog's own default
        {"Jpeg Files (*.jpg)", "bild8", "bild8.jpg"},
    };
    for (const auto& row : rows) {
        FileDialog dialog(nullptr, spec, true);
        dialog.open();
        ASSERT_TRUE(WaitFor([&] { return dialog.isVisible() && NameField(dialog); }));
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
        dialog.selectNameFilter(row.filter);
        NameField(dialog)->setText(row.typed);
        dialog.accept();
        EXPECT_EQ(dialog.selectedFiles(), QStringList{folder.filePath(row.chosen)}) << row.typed;
    }
}

// --- German ---

TEST(GermanDialogs, StandardButtonsAndTitlesAreGerman) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
        GTEST_SKIP() << "Qt's German translation is not installed";
    ASSERT_TRUE(g_germanInstalled);
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), "Abbrechen");

    FileDialog save(nullptr, Spec("jpg", "*.jpg", kPictureFilter), true);
    save.open();
    ASSERT_TRUE(WaitFor([&] { return save.isVisible(); }));
    EXPECT_EQ(save.windowTitle(), "Speichern unter");
    auto* buttons = save.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    save.reject();

    QColorDialog colour;
    EXPECT_EQ(colour.windowTitle(), "Farbauswahl");
}

// --- screen ---

TEST(ScreenFit, ASizeLargerThanTheScreenIsCutToIt) {
    const QRect screen(0, 0, 640, 512);
    // Fits: unchanged, wherever it stands.
    EXPECT_EQ(FitToScreen(QRect(10, 10, 500, 400), screen), QRect(10, 10, 500, 400));
    EXPECT_EQ(FitToScreen(QRect(300, 200, 500, 400), screen), QRect(300, 200, 500, 400));
    EXPECT_EQ(FitToScreen(QRect(10, 10, 640, 512), screen), QRect(10, 10, 640, 512));
    // Too wide, too high, both.
    EXPECT_EQ(FitToScreen(QRect(10, 10, 800, 400), screen), QRect(0, 10, 640, 400));
    EXPECT_EQ(FitToScreen(QRect(10, 10, 500, 600), screen), QRect(10, 0, 500, 512));
    EXPECT_EQ(FitToScreen(QRect(10, 10, 800, 600), screen), QRect(0, 0, 640, 512));
    // A top above the screen (the title bar out of reach) comes down to its edge.
    EXPECT_EQ(FitToScreen(QRect(10, -70, 500, 400), screen), QRect(10, 0, 500, 400));
    // A screen that does not start at the origin, e.g. the second of two.
    const QRect second(1280, 24, 1024, 744);
    EXPECT_EQ(FitToScreen(QRect(1300, 100, 1600, 1200), second), QRect(1280, 24, 1024, 744));
    EXPECT_EQ(FitToScreen(QRect(1300, 100, 800, 600), second), QRect(1300, 100, 800, 600));
    EXPECT_EQ(FitToScreen(QRect(1300, 0, 800, 600), second), QRect(1300, 24, 800, 600));
    // No screen area known: left as it is.
    EXPECT_EQ(FitToScreen(QRect(10, 10, 800, 600), QRect()), QRect(10, 10, 800, 600));
}

TEST(FollowWatcher, ReportsSavesAlsoAfterAReplaceAndOfAFileThatAppears) {
    test::TempProfile dir;
    const QString ini = QString::fromStdString(dir.File("ORX.INI"));
    const QString model = QString::fromStdString(dir.File("sub/schrank3d.gl"));
    test::WriteText(ini.toStdString(), "[LIFE]\n");
    FollowWatcher watcher;
    int reports = 0;
    QObject::connect(&watcher, &FollowWatcher::Settled, [&] { ++reports; });
    // The model's folder does not exist yet either.
    watcher.Watch({ini.toStdString(), model.toStdString()});

    // Written in place, in several steps: reported once they are over.
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::Append));
        for (int i = 0; i < 5; ++i) {
            file.write("ACTUAL=x\n");
            file.flush();
        }
    }
    ASSERT_TRUE(WaitFor([&] { return reports >= 1; }));
    EXPECT_EQ(reports, 1);

    // Replaced through a rename, twice: the new file is watched again each time.
    for (int round = 0; round < 2; ++round) {
        const int before = reports;
        test::WriteText(ini.toStdString() + ".tmp", "[LIFE]\nACTUAL=y\n");
        ASSERT_TRUE(QFile::remove(ini));
        ASSERT_TRUE(QFile::rename(ini + ".tmp", ini));
        ASSERT_TRUE(WaitFor([&] { return reports > before; })) << "round " << round;
    }
    // A later write to the replaced file is still noticed.
    int before = reports;
    test::WriteText(ini.toStdString(), "[LIFE]\nACTUAL=z\n");
    EXPECT_TRUE(WaitFor([&] { return reports > before; }));

    // Watching again after the model's folder was made finds a model written there.
    ASSERT_TRUE(QDir(QString::fromStdString(dir.path)).mkdir("sub"));
    watcher.Watch({ini.toStdString(), model.toStdString()});
    before = reports;
    test::WriteText(model.toStdString(), "ORX\n");
    EXPECT_TRUE(WaitFor([&] { return reports > before; }));
    before = reports;
    test::WriteText(model.toStdString(), "ORX 2\n");
    EXPECT_TRUE(WaitFor([&] { return reports > before; }));
}

// A profile folder of the test's own, no design program under Wine, and model files of
// unit blocks written there.
struct WindowFolder {
    test::TempProfile dir;
    WindowFolder() { qputenv("WINEPREFIX", QByteArray::fromStdString(dir.File("wine"))); }
    std::string Model(const std::string& name, int records) const {
        std::string text = "ORX test model\n";
        for (int i = 0; i < records; ++i)
            text += "8 0 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0\n";
        test::WriteText(dir.File(name), text);
        return dir.File(name);
    }
    // ORX.INI naming the model, as the design program writes it.
    void Name(const std::string& model) const {
        test::WriteText(dir.File("ORX.INI"), "[LIFE]\nACTUAL=" + model + "\n");
    }
};

// The real window, with its timer driven by the test one tick at a time and its
// message boxes recorded instead of shown. Given a file to save to, it answers the
// context menu with "Bild speichern unter..." and the save dialog with that file.
class SteppedWindow : public ViewerWindow {
public:
    std::vector<std::string> messages;
    std::string savePath;
    void MessageBox(const std::string& text, MsgIcon) override { messages.push_back(text); }
    void StartTimer(unsigned, unsigned) override {}
    int TrackPopupMenu(const MenuItem& popup, Point at) override {
        return savePath.empty() ? ViewerWindow::TrackPopupMenu(popup, at) : ID_SAVE_PICTURE;
    }
    std::optional<std::string> SaveFileDialog(const FileDialogSpec& spec) override {
        return savePath.empty() ? ViewerWindow::SaveFileDialog(spec) : savePath;
    }
    void Step() { Tick(); }
    const FollowWatcher& FollowWatch() const { return Watcher(); }
    // Shows the window; true once creation has loaded the named model and set the title.
    bool Start() {
        show();
        return WaitFor([&] { return windowTitle().startsWith("ORX-View"); });
    }
    bool TitleEndsWith(const char* text) const { return windowTitle().endsWith(text); }
    void SavePicture(const std::string& path) {
        savePath = path;
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(this, &event);
    }
    void ClickWith(Qt::KeyboardModifiers modifiers, QPointF at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, modifiers);
        QApplication::sendEvent(this, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, modifiers);
        QApplication::sendEvent(this, &release);
    }
};

TEST(FollowWatcher, TheWindowChecksAtTheNextTickAfterTheWatcherReports) {
    WindowFolder folder;
    const std::string ini = folder.dir.File("ORX.INI");
    const std::string whole = folder.Model("schrank3d.gl", 1);
    const std::string list = folder.Model("teile2d.gl", 3);
    folder.Name(whole);

    SteppedWindow window;
    ASSERT_TRUE(window.Start());
    EXPECT_FALSE(window.windowTitle().contains("Objekt"));
    // The first tick hands the files that follow mode reads to the watcher.
    window.Step();
    EXPECT_EQ(window.FollowWatch().Files(), (std::vector<std::string>{ini, whole}));
    int reports = 0;
    QObject::connect(&window.FollowWatch(), &FollowWatcher::Settled, [&] { ++reports; });

    // The design program names its parts list: the check comes at the first tick after
    // the watcher's report, long before the once-a-second check would.
    folder.Name(list);
    ASSERT_TRUE(WaitFor([&] { return reports > 0; }));
    EXPECT_FALSE(window.windowTitle().contains("Objekt"));  // only ticks load
    window.Step();
    EXPECT_TRUE(window.TitleEndsWith(" Objekt 1 von 3")) << window.windowTitle().toStdString();
    EXPECT_EQ(window.FollowWatch().Files(), (std::vector<std::string>{ini, list}));

    // The list saved again, now with two parts.
    reports = 0;
    folder.Model("teile2d.gl", 2);
    ASSERT_TRUE(WaitFor([&] { return reports > 0; }));
    window.Step();
    EXPECT_TRUE(window.TitleEndsWith(" Objekt 1 von 2")) << window.windowTitle().toStdString();
    for (const std::string& text : window.messages)
        EXPECT_EQ(text.rfind("JPEG :", 0), 0u) << text;  // only the missing textures
}

// The number of pixels of the window's picture unlike its corner's.
int ModelPixels(ViewerWindow& window) {
    const QImage picture = window.grabFramebuffer();
    const QRgb background = picture.pixel(0, 0);
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) count += picture.pixel(x, y) != background;
    return count;
}

TEST(RealWindow, TheWheelZoomsAndTheMenuShowsWhatIsOn) {
    WindowFolder folder;
    folder.Name(folder.Model("schrank3d.gl", 1));
    test::WriteText(folder.dir.File("orx-view.ini"), "[common]\nRotateTimeOn=0\n");

    SteppedWindow window;
    window.resize(320, 240);
    ASSERT_TRUE(window.Start());
    // The first frame shows the background; the model follows in a later one.
    ASSERT_TRUE(WaitFor([&] { return ModelPixels(window) > 0; }));
    const int before = ModelPixels(window);

    // Three notches away from the user bring the model nearer.
    for (int i = 0; i < 3; ++i) {
        QWheelEvent wheel(QPointF(100, 100), window.mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &wheel);
    }
    EXPECT_GT(ModelPixels(window), before + before / 4);

    // The axis cross switched on with its key carries a check mark in the menu.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, "k");
    QApplication::sendEvent(&window, &press);
    std::map<QString, bool> marks;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        std::function<void(QMenu*)> collect = [&](QMenu* m) {
            for (QAction* a : m->actions()) {
                if (a->menu()) collect(a->menu());
                if (a->isCheckable()) marks[a->text().section('\t', 0, 0)] = a->isChecked();
            }
        };
        collect(menu);
        menu->close();
    });
    QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(10, 10),
                              window.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&window, &context);
    EXPECT_TRUE(marks["Achsenkreuz"]);
    EXPECT_FALSE(marks["Wände"]);
    EXPECT_FALSE(marks["Automatisch &Rotieren"]);
    EXPECT_TRUE(marks["Oberflächenstruktur"]);
    EXPECT_FALSE(marks["Haarlinien"]);
    EXPECT_TRUE(marks["Schatt_Grau"]);
    EXPECT_TRUE(marks["Kirsch"]);
    window.close();
}

TEST(PartPicking, CtrlClickShowsThePartsSizeOverThePictureButNotInSavedPictures) {
    WindowFolder folder;
    folder.Name(folder.Model("block3d.gl", 1));

    SteppedWindow window;
    ASSERT_TRUE(window.Start());
    const auto* overlay = window.findChild<QLabel*>("pickOverlay");
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(overlay->isVisible());
    window.SavePicture(folder.dir.File("before.bmp"));

    // The unit block fills the middle of the window.
    const QPointF middle(window.width() / 2.0, window.height() / 2.0);
    window.ClickWith(Qt::ControlModifier, middle);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->text().toStdString(), "Teil 1, Quader: 1 × 1 × 1 mm");
    window.SavePicture(folder.dir.File("after.bmp"));
    const std::string before = test::ReadText(folder.dir.File("before.bmp"));
    EXPECT_GT(before.size(), 54u);
    EXPECT_TRUE(before == test::ReadText(folder.dir.File("after.bmp")))
        << "the pick reached the saved picture";

    // A plain click leaves the pick; Ctrl+click on the background clears it.
    window.ClickWith(Qt::NoModifier, middle);
    EXPECT_TRUE(overlay->isVisible());
    window.ClickWith(Qt::ControlModifier, QPointF(2, 2));
    EXPECT_FALSE(overlay->isVisible());
}

// A window whose scale factor the test changes as a move to a screen of another
// scale does: the window keeps its size, its device pixels change, and Qt tells the
// widget by a screen change only (no resize, so no resizeGL).
class ScaledWindow : public SteppedWindow {
public:
    void ScaleBy(qreal factor) {
        m_ratio = devicePixelRatioF() * factor;
        QEvent change(QEvent::ScreenChangeInternal);
        QApplication::sendEvent(this, &change);
    }
    void Drag(QPointF from, QPointF to) {
        QMouseEvent press(QEvent::MouseButtonPress, from, mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(this, &press);
        QMouseEvent move(QEvent::MouseMove, to, mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(this, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(this, &release);
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        if (m_ratio > 0 && m == PdmDevicePixelRatio) return qCeil(m_ratio);
        if (m_ratio > 0 && m == PdmDevicePixelRatioScaled)
            return qRound(m_ratio * devicePixelRatioFScale());
        return SteppedWindow::metric(m);
    }

private:
    qreal m_ratio = 0;  // 0: the screen's
};

TEST(RealWindow, PickingAndDraggingFollowAChangeOfTheScaleFactor) {
    WindowFolder folder;
    // A bar ten times as long as it is thick, lying along x.
    test::WriteText(folder.dir.File("stab3d.gl"),
                    "ORX test model\n8 0 8 0 0 1 10 0 1 10 1 1 0 1 1 0 0 0 10 0 0 10 1 0 0 1 0\n");
    folder.Name(folder.dir.File("stab3d.gl"));
    test::WriteText(folder.dir.File("orx-view.ini"), "[common]\nRotateTimeOn=0\n");
    ScaledWindow window;
    window.resize(320, 240);
    ASSERT_TRUE(window.Start());
    ASSERT_TRUE(WaitFor([&] { return ModelPixels(window) > 0; }));
    const int before = ModelPixels(window);
    const qreal ratio = window.devicePixelRatioF() * 2;
    window.ScaleBy(2);
    ASSERT_EQ(window.size(), QSize(320, 240));
    // The picture has four times the pixels, and the model fills as much of it.
    ASSERT_EQ(window.grabFramebuffer().size(), QSize(320, 240) * ratio);
    const int broadside = ModelPixels(window);
    EXPECT_GT(broadside, before * 3);

    // 90 pixels to the right as the user sees them turn the bar by 90 degrees: end on.
    window.Drag(QPointF(100, 200), QPointF(190, 200));
    EXPECT_LT(ModelPixels(window), broadside / 3);

    // Ctrl+click in the middle still hits it, and beside it nothing.
    const auto* overlay = window.findChild<QLabel*>("pickOverlay");
    ASSERT_NE(overlay, nullptr);
    window.ClickWith(Qt::ControlModifier, QPointF(160, 120));
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->text().toStdString().rfind("Teil 1", 0), 0u);
    window.ClickWith(Qt::ControlModifier, QPointF(40, 120));
    EXPECT_FALSE(overlay->isVisible());
}

}  // namespace
}  // namespace orx

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    orx::g_germanInstalled = orx::InstallGermanTranslation(app);
    return RUN_ALL_TESTS();
}
