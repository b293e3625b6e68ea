#define QTEST_QPA_MOUSE_HANDLING
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>

#include "app/about_dlg.h"
#include "app/icon_placement.h"
#include "app/main_dlg.h"
#include "app/resource_ids.h"
#include "app/resources.h"
#include "display/platform/control_widget.h"
#include "tree/random_seam.h"

namespace {

// The dialog with its protected handlers opened up, and a record of the buttons it was asked to click.
class TestMainDlg : public CMainDlg {
public:
    using CMainDlg::OnSysCommand;
    void OnButtonClicked(int controlId) override {
        clicked.push_back(controlId);
        if (controlId != IDC_TRAIN) CMainDlg::OnButtonClicked(controlId);
    }
    std::vector<int> clicked;
};

// Runs the dialog modally; the action runs once the modal loop is up and must end the run.
int RunModal(CMainDlg& dialog, std::function<void()> action) {
    QTimer::singleShot(0, &dialog, std::move(action));
    return dialog.DoModal();
}

QPushButton* Button(CMainDlg& dialog, int id) { return dynamic_cast<QPushButton*>(dialog.Control(id)); }

const platform::PresentedFrame& FrameOf(CGLView& view) { return view.Frame(); }

}  // namespace

TEST(MainDialogResources, TemplatesHoldTheControlsInOrder) {
    EXPECT_STREQ(kMainDialogTemplate.caption, "Ramulon");
    EXPECT_EQ(kMainDialogTemplate.id, IDD_MAIN_DIALOG);
    EXPECT_EQ(kMainDialogTemplate.width, 504);
    EXPECT_EQ(kMainDialogTemplate.height, 281);
    struct Expected {
        int id;
        const char* text;
        int x, y, width, height;
    };
    const Expected main[] = {
        {IDOK, "OK", 7, 257, 50, 16},
        {IDCANCEL, "Cancel", 449, 257, 50, 16},
        {IDC_EVOLVED_VIEW, "", 277, 18, 205, 222},
        {IDC_TARGET_VIEW, "Static", 19, 18, 205, 222},
        {IDC_TRAIN, "Train", 353, 257, 64, 14},
        {IDC_RANDOMIZE_TREE, "Randomize Tree", 81, 257, 64, 14},
    };
    ASSERT_EQ(kMainDialogTemplate.controls.size(), std::size(main));
    for (std::size_t i = 0; i < std::size(main); ++i) {
        const platform::ControlTemplate& c = kMainDialogTemplate.controls[i];
        EXPECT_EQ(c.id, main[i].id) << i;
        EXPECT_STREQ(c.text, main[i].text) << i;
        EXPECT_EQ(QRect(c.x, c.y, c.width, c.height), QRect(main[i].x, main[i].y, main[i].width, main[i].height));
    }
    EXPECT_TRUE(kMainDialogTemplate.controls[0].style & platform::kDefaultPushButton);
    EXPECT_TRUE(kMainDialogTemplate.controls[2].style & platform::kNotify);
    EXPECT_TRUE(kMainDialogTemplate.controls[3].style & platform::kNotify);

    EXPECT_STREQ(kAboutBoxTemplate.caption, "About Ramulon");
    ASSERT_EQ(kAboutBoxTemplate.controls.size(), 4u);
    EXPECT_STREQ(kAboutBoxTemplate.controls[1].text, "Ramulon Version 1.0");
    EXPECT_EQ(kAboutBoxTemplate.controls[3].id, IDOK);
    EXPECT_FALSE(kAboutBoxTemplate.style & platform::kDialogVisible);

    EXPECT_EQ(LoadResourceString(IDS_ABOUTBOX), QStringLiteral("&About Ramulon..."));
    EXPECT_TRUE(LoadResourceString(9999).isEmpty());
    const QIcon icon = LoadResourceIcon(IDR_MAINFRAME);
    for (int size : {16, 32, 48}) EXPECT_EQ(icon.pixmap(size).width(), size) << size;
}

TEST(MainDialog, MinimisedIconIsCentredWithDivisionTowardZero) {
    EXPECT_EQ(CentredIconOrigin(36, 36, 32, 32).x, 2);
    EXPECT_EQ(CentredIconOrigin(30, 30, 32, 32).x, 0);
    EXPECT_EQ(CentredIconOrigin(30, 29, 32, 32).y, -1);
}

TEST(MainDialog, OkCancelEscapeEnterAndCloseEndTheModalRun) {
    struct Case {
        const char* name;
        std::function<void(CMainDlg&)> end;
        int result;
    };
    const Case cases[] = {
        {"OK", [](CMainDlg& d) { Button(d, IDOK)->click(); }, IDOK},
        {"Cancel", [](CMainDlg& d) { Button(d, IDCANCEL)->click(); }, IDCANCEL},
        {"Escape", [](CMainDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }, IDCANCEL},
        {"Enter on OK",
         [](CMainDlg& d) {
             Button(d, IDOK)->setFocus();
             QTest::keyClick(Button(d, IDOK), Qt::Key_Return);
         },
         IDOK},
        {"Enter on no button",
         [](CMainDlg& d) {
             d.setFocus();
             QTest::keyClick(&d, Qt::Key_Return);
         },
         IDOK},
        {"window close", [](CMainDlg& d) { d.close(); }, IDCANCEL},
        {"window menu Close", [](CMainDlg& d) { d.GetWindowMenu()->Menu().actions().first()->trigger(); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        CMainDlg dialog;
        EXPECT_EQ(RunModal(dialog, [&] { c.end(dialog); }), c.result) << c.name;
    }
}

TEST(MainDialog, FocusStartsOnOkAndEnterOnACommandButtonClicksThatButton) {
    TestMainDlg dialog;
    bool focusOnOk = false;
    RunModal(dialog, [&] {
        const bool active = QTest::qWaitForWindowActive(&dialog);
        focusOnOk = active && dialog.focusWidget() == Button(dialog, IDOK);
        Button(dialog, IDC_TRAIN)->setFocus();
        QTest::keyClick(Button(dialog, IDC_TRAIN), Qt::Key_Return);
        dialog.reject();
    });
    EXPECT_TRUE(focusOnOk);
    ASSERT_FALSE(dialog.clicked.empty());
    EXPECT_EQ(dialog.clicked.front(), IDC_TRAIN);
}

TEST(MainDialog, WindowMenuEndsWithSeparatorAndAboutItem) {
    CMainDlg dialog;
    QList<QAction*> actions;
    RunModal(dialog, [&] {
        actions = dialog.GetWindowMenu()->Menu().actions();
        dialog.reject();
    });
    ASSERT_GE(actions.size(), 3);
    EXPECT_EQ(actions.first()->text(), QStringLiteral("Close"));
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_EQ(actions.last()->text(), QStringLiteral("&About Ramulon..."));
    EXPECT_EQ(actions.last()->data().toUInt(), IDM_ABOUTBOX);
}

TEST(MainDialog, AboutCommandsOpenTheAboutBoxAndOtherCommandsDoNot) {
    TestMainDlg dialog;
    std::vector<std::pair<unsigned, bool>> opened;
    QString aboutTitle;
    QStringList aboutTexts;
    RunModal(dialog, [&] {
        for (unsigned command : {0x0010u, 0x0011u, 0x001Fu, 0x0020u}) {
            bool sawAbout = false;
            QTimer::singleShot(0, [&] {
                if (auto* about = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                    sawAbout = true;
                    aboutTitle = about->windowTitle();
                    aboutTexts.clear();
                    for (QLabel* label : about->findChildren<QLabel*>()) aboutTexts << label->text();
                    about->accept();
                }
            });
            dialog.OnSysCommand(command, 0);
            QCoreApplication::processEvents();
            opened.push_back({command, sawAbout});
        }
        dialog.reject();
    });
    const std::vector<std::pair<unsigned, bool>> expected = {
        {0x0010u, true}, {0x0011u, true}, {0x001Fu, true}, {0x0020u, false}};
    EXPECT_EQ(opened, expected);
    EXPECT_EQ(aboutTitle, QStringLiteral("About Ramulon"));
    EXPECT_TRUE(aboutTexts.contains(QStringLiteral("Ramulon Version 1.0")));
}

TEST(MainDialog, InitialisationWiresPanelsCameraTreeAndEvolver) {
    CMainDlg dialog;
    QSize left, right;
    bool iconSet = false;
    RunModal(dialog, [&] {
        left = dialog.Control(IDC_TARGET_VIEW)->size();
        right = dialog.Control(IDC_EVOLVED_VIEW)->size();
        iconSet = !dialog.windowIcon().isNull();
        dialog.reject();
    });
    EXPECT_EQ(dialog.targetView.drawList, (std::vector<IRenderable*>{&dialog.camera, &dialog.targetTree}));
    EXPECT_EQ(dialog.evolvedView.drawList, (std::vector<IRenderable*>{&dialog.camera, &dialog.evolver.best}));
    EXPECT_EQ(dialog.targetView.listener, &dialog.camera);
    EXPECT_EQ(dialog.evolvedView.listener, &dialog.camera);
    EXPECT_EQ(dialog.targetView.partner, &dialog.evolvedView);
    EXPECT_EQ(dialog.evolvedView.partner, &dialog.targetView);
    EXPECT_EQ(dialog.evolver.view, &dialog.evolvedView);
    EXPECT_EQ(dialog.camera.pose.Distance(), 500.0);
    EXPECT_TRUE(dialog.camera.lightOn);
    EXPECT_EQ(left, right);
    EXPECT_GT(left.width(), 0);
    EXPECT_TRUE(iconSet);
}

TEST(MainDialog, RandomizeTreeChangesTheLeftPictureOnly) {
    CMainDlg dialog;
    bool leftChanged = false, rightSame = false, listSame = false;
    RunModal(dialog, [&] {
        dialog.targetView.Render();
        const std::vector<unsigned char> left = FrameOf(dialog.targetView).bgr;
        const std::vector<unsigned char> right = FrameOf(dialog.evolvedView).bgr;
        const std::vector<IRenderable*> list = dialog.targetView.drawList;
        Button(dialog, IDC_RANDOMIZE_TREE)->click();
        leftChanged = FrameOf(dialog.targetView).bgr != left;
        rightSame = FrameOf(dialog.evolvedView).bgr == right;
        listSame = dialog.targetView.drawList == list;
        dialog.reject();
    });
    EXPECT_TRUE(leftChanged);
    EXPECT_TRUE(rightSame);
    EXPECT_TRUE(listSame);
    EXPECT_EQ(dialog.targetTree.depth, 5);
}

TEST(MainDialog, LeftDragTurnsBothPanelsAndRightDragZooms) {
    CMainDlg dialog;
    bool leftTurned = false, rightTurned = false;
    double distanceAfterZoom = 0.0;
    RunModal(dialog, [&] {
        QWidget* panel = dialog.Control(IDC_TARGET_VIEW);
        dialog.targetView.Render();
        const std::vector<unsigned char> left = FrameOf(dialog.targetView).bgr;
        const std::vector<unsigned char> right = FrameOf(dialog.evolvedView).bgr;
        QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
        QTest::mouseMove(panel, QPoint(120, 150));
        QTest::mouseMove(panel, QPoint(180, 170));
        QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, QPoint(180, 170));
        leftTurned = FrameOf(dialog.targetView).bgr != left;
        rightTurned = FrameOf(dialog.evolvedView).bgr != right;

        QTest::mousePress(panel, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(panel, QPoint(100, 110));
        QTest::mouseMove(panel, QPoint(100, 200));
        QTest::mouseRelease(panel, Qt::RightButton, Qt::NoModifier, QPoint(100, 200));
        distanceAfterZoom = dialog.camera.pose.Distance();
        dialog.reject();
    });
    EXPECT_TRUE(leftTurned);
    EXPECT_TRUE(rightTurned);
    EXPECT_GT(distanceAfterZoom, 500.0);
}

TEST(MainDialog, TargetTreeDrawsBeforeTheEvolversIndividuals) {
    ResetRandomSequence();
    CMainDlg dialog;
    ResetRandomSequence();
    const CTreeModel tree;
    const CIndividual best;
    const CIndividual firstOfPopulation;
    EXPECT_TRUE(dialog.targetTree.genome == tree.genome);
    EXPECT_TRUE(dialog.evolver.best.genome == best.genome);
    EXPECT_TRUE(dialog.evolver.population[0].genome == firstOfPopulation.genome);
    const int last = NodeCount(5) - 1;
    EXPECT_EQ(dialog.targetTree.noise[last].inclination, tree.noise[last].inclination);
    EXPECT_EQ(dialog.evolver.population[0].noise[last].presence, firstOfPopulation.noise[last].presence);
    EXPECT_FALSE(dialog.evolver.best.genome == dialog.evolver.population[0].genome);
}

namespace {

// The turn about the world's vertical axis of a camera that has only been dragged sideways.
double SidewaysTurn(const COrbitCamera& camera) {
    return std::atan2(camera.pose.rotation.m[3], camera.pose.rotation.m[0]);
}

// Moves the pointer to a point of a control, with Qt delivering it as the window system would.
void MoveTo(QWidget* control, QPoint point) { QTest::mouseMove(control, point); }

}  // namespace

TEST(MainDialog, DragsAcrossPanelsOrOutAndBackMoveTheCameraOnlyByTheMovesInsideAPanel) {
    CMainDlg dialog;
    double turn = 0.0, distance = 0.0, backgroundTurn = 0.0;
    RunModal(dialog, [&] {
        QWidget* left = dialog.Control(IDC_TARGET_VIEW);
        QWidget* right = dialog.Control(IDC_EVOLVED_VIEW);
        const auto inLeft = [&](QPoint p) { return p; };
        const auto fromRight = [&](QPoint p) { return left->mapFromGlobal(right->mapToGlobal(p)); };

        // Sideways across the gap: 2 pixels in the left panel, then 5 in the right one.
        QTest::mousePress(left, Qt::LeftButton, Qt::NoModifier, inLeft({300, 150}));
        for (QPoint p : {inLeft({302, 150}), inLeft({304, 150}), fromRight({0, 150}), fromRight({5, 150})})
            MoveTo(left, p);
        QTest::mouseRelease(left, Qt::LeftButton, Qt::NoModifier, fromRight({5, 150}));
        turn = SidewaysTurn(dialog.camera);

        // A zoom that leaves at the bottom edge and comes back in at the top: 5 pixels down each time.
        QTest::mousePress(left, Qt::RightButton, Qt::NoModifier, {150, 345});
        for (QPoint p : {QPoint(150, 350), QPoint(150, 355), QPoint(150, 366), QPoint(150, 2), QPoint(150, 7)})
            MoveTo(left, p);
        QTest::mouseRelease(left, Qt::RightButton, Qt::NoModifier, {150, 7});
        distance = dialog.camera.pose.Distance();

        // A drag that begins on the dialog's background and moves 20 pixels once inside the left panel.
        const QPoint background = left->mapTo(&dialog, QPoint(150, 0)) - QPoint(0, 10);
        ASSERT_EQ(dialog.childAt(background), nullptr);
        const double before = SidewaysTurn(dialog.camera);
        QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, background);
        for (QPoint p : {QPoint(150, 20), QPoint(170, 20)}) QTest::mouseMove(&dialog, left->mapTo(&dialog, p));
        QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, left->mapTo(&dialog, QPoint(170, 20)));
        backgroundTurn = SidewaysTurn(dialog.camera) - before;
        dialog.reject();
    });
    const double width = 308.0, height = 361.0;
    EXPECT_NEAR(turn, (2.0 + 5.0) / width, 1e-12);
    double expected = 500.0;
    for (int step = 0; step < 2; ++step) expected += (expected + 1.0) * ((1.0 / height) * 355 - (1.0 / height) * 350);
    EXPECT_NEAR(distance, expected, 1e-9);
    EXPECT_NEAR(backgroundTurn, 20.0 / width, 1e-12);
}
