#include "app/MainWindow.h"

#include "app/AnalysisController.h"
#include "app/BoardView.h"
#include "app/GlobalState.h"
#include "app/HelpWindow.h"
#include "app/MoveArrow.h"
#include "app/MoveListWindow.h"
#include "app/PositionFileCommands.h"
#include "app/RecordCommands.h"
#include "app/ReviewRunner.h"
#include "app/SpriteImages.h"
#include "app/StatusModel.h"
#include "app/ThinkingWindow.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/DisplaySettingsDialog.h"
#include "app/dialogs/EngineOptionsDialog.h"
#include "app/dialogs/LevelDialog.h"
#include "app/dialogs/NewGameDialog.h"
#include "app/dialogs/PositionEditor.h"
#include "game/EngineLocations.h"
#include "platform/DialogRunner.h"
#include "platform/FileDialogs.h"
#include "platform/ImageDecoding.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "platform/SpriteSurface.h"
#include "platform/TextEncoding.h"
#include "platform/TransparentLabel.h"
#include "resources/Resources.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>

namespace qinglan {

namespace {
constexpr int DEFAULT_LIST_TRANSPARENCY = 30;
constexpr int BUILT_IN_MOVE_TIME_TENTHS = 30;
} // namespace

MainWindow::MainWindow(GlobalState& state, std::unique_ptr<SoundPlayer> sound)
    : state_(state)
    , sound_(sound ? std::move(sound) : createSoundPlayer())
    , surface_(new SpriteSurface(this))
    , redPanel_(new TransparentLabel(surface_))
    , blackPanel_(new TransparentLabel(surface_))
    , game_(*this, state.tickSource) {
    setWindowTitle(QString::fromUtf8(PROGRAM_TITLE));
    setWindowIcon(QIcon(res::APP_ICON));
    surface_->setObjectName(QStringLiteral("动画框"));
    redPanel_->setObjectName(QStringLiteral("红方选手标签"));
    blackPanel_->setObjectName(QStringLiteral("黑方选手标签"));
    setCentralWidget(surface_);
    menus_ = MainMenus::build(*menuBar());
    connectMenus();
    fitClientArea();

    redPanel_->setText(QStringLiteral("红方：青岚象棋"));
    blackPanel_->setText(QStringLiteral("黑方：青岚象棋"));
    for (TransparentLabel* panel : { redPanel_, blackPanel_ }) {
        panel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        panel->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    view_
        = new BoardView(state_, game_.state(), *surface_, *redPanel_, *blackPanel_, *sound_, this);
    view_->createFileLabels();
    listWindow_ = new MoveListWindow(builtInImages().moveListBackground, this);
    listWindow_->setAlpha(listAlpha(DEFAULT_LIST_TRANSPARENCY));
    view_->createSprites();
    connect(view_, &BoardView::moveChosen, this,
        [this](const std::string& move) { game_.flow().playMove(move); });
    connect(view_, &BoardView::animationFinished, this, [this] { game_.flow().nextTurn(); });
    connect(view_, &BoardView::redrawn, this, [this] { refreshStatus(false); });
    connectMoveList();
    surface_->installEventFilter(this);
    arrow_ = new MoveArrow(state_, surface_);
    analysis_ = new AnalysisController(
        game_, *arrow_, [this] { return thinkingDisplay(); }, this);
    review_ = new ReviewRunner(game_, scores_, this);
    connectAnalysisMenus();

    LevelSettings builtIn;
    builtIn.moveTimeTenths = BUILT_IN_MOVE_TIME_TENTHS;
    game_.setLevel(builtIn);
    loadSettings();
    game_.flow().newGame();

    heartbeat_.setInterval(HEARTBEAT_MS);
    connect(&heartbeat_, &QTimer::timeout, this, &MainWindow::onHeartbeat);
    heartbeat_.start();
}

MainWindow::~MainWindow() {
    // Both engines still exist here: what they hold is written before they unload.
    saveSettings();
    // The view and the list window die with the widget tree, after this window's own
    // members; stop everything that could still reach them first.
    heartbeat_.stop();
    // Its end unchecks a menu of this window: it must not come with the widget tree's.
    delete thinkingWindow_;
    delete chart_;
    // A review under way is ended while the engine it uses still exists.
    delete review_;
    review_ = nullptr;
    surface_->removeEventFilter(this);
    delete view_;
    view_ = nullptr;
}

void MainWindow::fitClientArea() {
    // The frame's size minus the client's is the room the menu bar takes; a hidden
    // window lays itself out only when asked, so ask before and after the resize.
    if (layout()) layout()->activate();
    const QSize client = surface_->size();
    resize(width() + LOGICAL_WIDTH - client.width(), height() + LOGICAL_HEIGHT - client.height());
    if (layout()) layout()->setGeometry(QRect(QPoint(0, 0), size()));
}

void MainWindow::connectMenus() {
    const MainMenus& m = menus_;
    connect(m.open, &QAction::triggered, this, [this] { openPositionFile(*this); });
    connect(m.save, &QAction::triggered, this, [this] { savePositionFile(*this); });
    connect(m.exit, &QAction::triggered, this, &QWidget::close);
    connect(m.takeBack, &QAction::triggered, this, [this] { game_.flow().takeBack(); });
    connect(m.banMove, &QAction::triggered, this, [this] { game_.flow().banLastMove(); });
    connect(m.flipBoard, &QAction::triggered, this, [this](bool on) {
        state_.checks.flipped = on;
        layoutMainWindow();
    });
    connect(m.sound, &QAction::triggered, this, [this](bool on) { state_.checks.soundOn = on; });
    connect(m.showThinking, &QAction::triggered, this, &MainWindow::toggleThinkingWindow);
    // A side given to the computer ends the analysis first: an engine plays or studies.
    connect(m.computerRed, &QAction::triggered, this, [this](bool on) {
        if (on) setAnalysing(false);
        game_.flow().setComputerRed(on);
    });
    connect(m.computerBlack, &QAction::triggered, this, [this](bool on) {
        if (on) setAnalysing(false);
        game_.flow().setComputerBlack(on);
    });
    connect(m.secondaryPlaysRed, &QAction::triggered, this,
        [this](bool on) { game_.flow().setSecondaryPlaysRed(on); });
    connect(m.stopThinking, &QAction::triggered, this, [this] { game_.engines().stopThinking(); });
    connect(m.loadMainEngine, &QAction::triggered, this, [this] { game_.toggleEngine(true); });
    connect(
        m.loadSecondaryEngine, &QAction::triggered, this, [this] { game_.toggleEngine(false); });
    connect(m.about, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m.helpTopics, &QAction::triggered, this, [this] { showHelpWindow(this); });
    connect(m.displaySettings, &QAction::triggered, this, &MainWindow::showDisplaySettingsDialog);
    connect(m.mainEngineOptions, &QAction::triggered, this, [this] { editEngineOptions(true); });
    connect(
        m.secondaryEngineOptions, &QAction::triggered, this, [this] { editEngineOptions(false); });
    connect(m.newGame, &QAction::triggered, this, &MainWindow::openNewGameDialog);
    connect(m.openRecord, &QAction::triggered, this, [this] { openGameFile(*this); });
    connect(m.saveRecord, &QAction::triggered, this, [this] { saveGameRecord(*this); });
    connect(m.gameInfo, &QAction::triggered, this, [this] { editGameInfo(*this); });
    connect(m.copyRecord, &QAction::triggered, this, [this] { copyGame(*this); });
    connect(m.copyPosition, &QAction::triggered, this, [this] { copyPosition(*this); });
    connect(m.paste, &QAction::triggered, this, [this] { pasteGame(*this); });
    const std::pair<QAction*, BrowseStep> steps[] = { { m.browseStart, BrowseStep::Start },
        { m.browseBack, BrowseStep::Back }, { m.browseForward, BrowseStep::Forward },
        { m.browseEnd, BrowseStep::End }, { m.browseNextVariation, BrowseStep::NextVariation },
        { m.browsePreviousVariation, BrowseStep::PreviousVariation } };
    for (const auto& [action, step] : steps)
        connect(action, &QAction::triggered, this, [this, step] { game_.flow().browse(step); });
    connect(m.level, &QAction::triggered, this, &MainWindow::openLevelDialog);
}

void MainWindow::connectMoveList() {
    MoveListWindow* list = listWindow_;
    connect(list, &MoveListWindow::nodeClicked, this,
        [this](int node) { game_.flow().browseTo(node); });
    connect(list, &MoveListWindow::stepRequested, this,
        [this](BrowseStep step) { game_.flow().browse(step); });
    connect(list, &MoveListWindow::commentEdited, this, [this](int node, const std::string& text) {
        game_.flow().records().setComment(node, text);
    });
    connect(list, &MoveListWindow::annotationChosen, this, [this](int node, int nag) {
        game_.flow().records().setAnnotation(node, nag);
        moveListChanged();
    });
    // The browsing keys work while the list window is the active one, too.
    for (QAction* action : { menus_.browseStart, menus_.browseBack, menus_.browseForward,
             menus_.browseEnd, menus_.browseNextVariation, menus_.browsePreviousVariation })
        list->addAction(action);
}

void MainWindow::showDisplaySettingsDialog() {
    if (!displayDialog_) {
        displayDialog_ = new DisplaySettingsDialog(
            state_.displaySettings,
            [this](const DisplaySettings& settings) { return applyDisplaySettings(settings); },
            this);
        // Forgotten as soon as it closes, so a new opening never reuses a dying one.
        connect(displayDialog_, &QDialog::finished, this, [this] {
            displayDialog_->deleteLater();
            displayDialog_ = nullptr;
        });
    }
    displayDialog_->show();
    displayDialog_->raise();
    displayDialog_->activateWindow();
}

void MainWindow::editEngineOptions(bool main) {
    if (std::optional<EngineOptionsChoice> choice = chooseEngineOptions(game_, main, this))
        game_.confirmEngineOptions(main, *choice);
}

namespace {

std::string programDirOf(const GlobalState& state) {
    return state.programDir.empty() ? programDirectory() : state.programDir;
}

// An installed program never writes beside itself, even run by root.
SettingsFileLocation settingsLocationOf(const std::string& programDir) {
    if (isInstalledProgram(programDir))
        return settingsFilePath(programDir, [](const std::string&) { return false; });
    return settingsFilePath(programDir);
}

} // namespace

void MainWindow::loadSettings() {
    const std::string dir = programDirOf(state_);
    const SettingsFileLocation where = settingsLocationOf(dir);
    const ProfileFile profile(where.readPath, where.savePath);
    game_.loadEngineSettings(profile, dir);
    applyDisplaySettings(readDisplaySettings(profile));
    menus_.askToSave->setChecked(readAskToSaveGames(profile));
    menus_.bestMoveArrow->setChecked(readShowBestMoveArrow(profile));
    arrow_->setEnabledByUser(menus_.bestMoveArrow->isChecked());
}

void MainWindow::saveSettings() {
    const SettingsFileLocation where = settingsLocationOf(programDirOf(state_));
    ProfileFile profile(where.readPath, where.savePath);
    game_.saveEngineSettings(profile);
    writeDisplaySettings(profile, state_.displaySettings);
    writeAskToSaveGames(profile, menus_.askToSave->isChecked());
    writeShowBestMoveArrow(profile, menus_.bestMoveArrow->isChecked());
    // Nothing to tell at exit: a folder that cannot be written keeps the old file.
    profile.save();
}

void MainWindow::showAbout() {
    AboutDialog dialog(game_, this);
    runModalDialog(dialog);
}

void MainWindow::openFileAtStart(const std::string& path) {
    // The file takes the place of the greeting: a new game would replace it.
    greeted_ = true;
    QMetaObject::invokeMethod(
        this, [this, path] { openStartFile(*this, path); }, Qt::QueuedConnection);
}

void MainWindow::startMoveAnimation(const std::string& moveText) {
    const MoveSquares squares = squaresOfMove(moveText);
    view_->startMoveAnimation(squares.from, squares.to);
}

void MainWindow::cancelMoveAnimation() {
    view_->cancelAnimation();
}

bool MainWindow::isMoveInFlight() const {
    return view_ && view_->isAnimating();
}

void MainWindow::finishMoveInFlight() {
    view_->finishAnimation();
}

void MainWindow::redrawPieces(bool fromBoard) {
    view_->redrawPieces(fromBoard);
}

void MainWindow::hideMarkers() {
    view_->hideMarkers();
}

void MainWindow::clearSelection() {
    state_.selection = {};
}

void MainWindow::moveListChanged() {
    const GameState& game = game_.state();
    listWindow_->showList(
        game.moveList, game.record.current, game.record.game.comment(game.record.current));
    refreshEvaluationChart();
}

int MainWindow::showMessage(const std::string& text, const std::string& title, int flags) {
    // Qt never re-enters a timer: a box opened from the heartbeat would stop it until
    // closed. A box that asks nothing can just as well wait for the queue.
    if (inHeartbeat_ && !(flags & MESSAGE_FLAG_YES_NO)) {
        showLater([this, text, title, flags] { showMessage(text, title, flags); });
        return MESSAGE_OK;
    }
    return showMessageBox(this, QString::fromStdString(text), QString::fromStdString(title), flags);
}

void MainWindow::offerNewGame() {
    openNewGameDialog();
}

void MainWindow::openNewGameDialog() {
    NewGameDialog dialog(*this, state_, moreLevel_,
        [this](QDialog& owner) { editPosition(&owner, state_.editorBoard); });
    if (runModalDialog(dialog) != QDialog::Accepted) return;
    moreLevel_ = dialog.choice().moreLevel;
    startChosenGame(dialog.choice());
}

void MainWindow::startChosenGame(const NewGameChoice& choice) {
    if (!mayLeaveGame(*this)) return;
    if (choice.computerRed || choice.computerBlack) setAnalysing(false);
    menus_.computerRed->setChecked(choice.computerRed);
    menus_.computerBlack->setChecked(choice.computerBlack);
    game_.flow().setComputerSides(choice.computerRed, choice.computerBlack);
    menus_.flipBoard->setChecked(choice.flipped);
    state_.checks.flipped = choice.flipped;
    layoutMainWindow();
    game_.flow().newGame(choice.fen, choice.level);
}

void MainWindow::openLevelDialog() {
    if (std::optional<LevelSettings> level = chooseLevel(*this, *this, moreLevel_)) {
        moreLevel_ = *level;
        game_.changeLevel(*level);
    }
}

ThinkingDisplay* MainWindow::thinkingDisplay() {
    return thinkingWindow_.data();
}

std::string MainWindow::askOpenFileName(const std::string& caption, const std::string& filter) {
    return qinglan::askOpenFileName(this, caption, filter);
}

void MainWindow::showLater(std::function<void()> box) {
    QMetaObject::invokeMethod(this, std::move(box), Qt::QueuedConnection);
}

void MainWindow::setPanelText(TransparentLabel& panel, const std::string& text) {
    QStringList lines = QString::fromStdString(text).split(QStringLiteral("\r\n"));
    // Engines choose long names ("Fairy-Stockfish 11.1 LB 64"): cut them with an
    // ellipsis rather than losing both ends of a centred line.
    if (panel.width() > 0)
        for (QString& line : lines)
            line = panel.fontMetrics().elidedText(line, Qt::ElideRight, panel.width());
    const QString shown = lines.join(QLatin1Char('\n'));
    // Unchanged panels are not rewritten, so they do not flicker three times a second.
    if (panel.text() != shown) panel.setText(shown);
}

void MainWindow::refreshStatus(bool full) {
    if (full) {
        const auto slot = [this](bool main) {
            const bool running = game_.isEngineRunning(main);
            const EngineProcess& e = game_.engine(main);
            return EngineSlotView { running, displayText(e.name()),
                e.knownState() == EngineState::Thinking };
        };
        const EngineSlotView mainView = slot(true);
        const EngineSlotView secondaryView = slot(false);
        setWindowTitle(QString::fromStdString(qinglan::windowTitle(mainView, secondaryView)));

        const GameState& game = game_.state();
        const std::int64_t now = game_.now();
        const bool countdown = game.currentLevel.isCountdown();
        const auto remaining = [&](const SideClock& c) {
            return countdown ? std::optional<std::int64_t>(c.remaining(now)) : std::nullopt;
        };
        setPanelText(*redPanel_,
            panelText(true, game_.playerName(true), game.redClock.elapsed(now),
                remaining(game.redClock)));
        setPanelText(*blackPanel_,
            panelText(false, game_.playerName(false), game.blackClock.elapsed(now),
                remaining(game.blackClock)));

        const MenuState menu = menuState({ .plyCount = game.board.plyCount(),
            .redToMove = game.board.isRedToMove(),
            .checks = game.sides,
            .mainEngine = mainView,
            .secondaryEngine = secondaryView });
        menus_.takeBack->setEnabled(menu.takeBack);
        menus_.banMove->setEnabled(menu.banMove);
        menus_.stopThinking->setEnabled(menu.stopThinking);
        menus_.secondaryPlaysRed->setEnabled(menu.swapEngines);
        menus_.loadMainEngine->setText(QString::fromStdString(menu.loadMainCaption));
        menus_.loadSecondaryEngine->setText(QString::fromStdString(menu.loadSecondaryCaption));
    }
    // The labels are transparent: repainting the surface repaints them over it.
    surface_->repaint();
    if (listWindow_) listWindow_->moveListBox()->viewport()->update();
}

void MainWindow::layoutMainWindow() {
    view_->layout();
    placeMoveListAtScale();
    view_->redrawPieces(false);
}

void MainWindow::placeMoveListAtScale() {
    placeMoveListWindow(scaled(571, state_.scaleX), scaled(209, state_.scaleY),
        scaled(170, state_.scaleX), scaled(200, state_.scaleY));
}

void MainWindow::placeMoveListWindow(int x, int y, int width, int height) {
    if (!listWindow_) return;
    const bool fits = x >= 1 && y >= 1 && width >= 1 && height >= 1;
    // The list window follows the main window: it is shown only while that is.
    listWindow_->setVisible(fits && isVisible());
    QFont font = listWindow_->moveListBox()->font();
    // Moves line up in columns only with half-width Latin beside full-width Chinese, as
    // in 宋体; where that is missing, a monospaced CJK face keeps the same widths.
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("Noto Sans Mono CJK SC") });
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(1, width / 12));
    listWindow_->moveListBox()->setFont(font);
    listWindow_->commentBox()->setFont(font);
    const QPoint origin = surface_->mapToGlobal(QPoint(0, 0));
    listWindow_->setGeometry(
        origin.x() + x, origin.y() + y, std::max(1, width), std::max(1, height));
}

void MainWindow::followMainWindow() {
    if (listWindow_) placeMoveListAtScale();
    placeThinkingWindow();
}

namespace {

// The background is stretched over the client area, which never outgrows a screen:
// more pixels than that are never seen.
QSize largestScreenPixels() {
    QSize largest(LOGICAL_WIDTH, LOGICAL_HEIGHT);
    for (const QScreen* screen : QGuiApplication::screens())
        largest = largest.expandedTo(screen->size() * screen->devicePixelRatio());
    return largest;
}

} // namespace

bool MainWindow::applyDisplaySettings(const DisplaySettings& settings) {
    const std::string& background = settings.backgroundImage;
    bool shown = true;
    if (background.empty()) {
        view_->setBackground(QImage());
    } else if (background == "默认") {
        view_->setBackground(builtInImages().background);
    } else {
        // A path that names no file, or no picture, keeps the picture on screen; the
        // path is still kept.
        const QImage picture
            = loadPictureFile(QString::fromStdString(background), largestScreenPixels());
        shown = !picture.isNull();
        if (shown) view_->setBackground(picture);
    }
    state_.displaySettings = settings;
    view_->applyTransparencies(settings);
    listWindow_->setAlpha(listAlpha(settings.listTransparency));
    layoutMainWindow();
    return shown;
}

void MainWindow::onHeartbeat() {
    inHeartbeat_ = true;
    checkEngineExit(true);
    checkEngineExit(false);
    const std::int64_t now = game_.now();
    if (now - state_.lastRefreshTick > REFRESH_INTERVAL_MS) {
        refreshStatus(true);
        state_.lastRefreshTick = now;
    }
    // While the main engine analyses or looks for a hint, its replies are not the game's.
    if (analysis_->ownsMainEngine() || review_->running()) {
        analysis_->tick();
        review_->tick();
        game_.engines().pollEngine(false);
    } else {
        game_.engines().pollEngines();
    }
    // The game is already marked over, so the box can wait for the queue.
    if (std::optional<GameResult> result = game_.flow().checkTimeouts())
        showLater([this, lost = *result] { game_.flow().askRestart(lost); });
    inHeartbeat_ = false;
}

void MainWindow::checkEngineExit(bool main) {
    // The engine is unloaded at once, so the question is asked once, whenever the
    // queue gets to it.
    if (std::optional<std::string> path = game_.takeExitedEngine(main))
        showLater([this, main, path = *path] {
            if (showMessage(engineExitQuestion(path), "青岚象棋",
                    MESSAGE_FLAG_YES_NO | MESSAGE_FLAG_WARNING)
                == MESSAGE_YES)
                game_.reloadEngine(main, path);
        });
}

void MainWindow::toggleThinkingWindow() {
    if (thinkingWindow_) {
        thinkingWindow_->close();
        return;
    }
    thinkingWindow_ = new ThinkingWindow(this);
    connect(thinkingWindow_, &QObject::destroyed, this,
        [this] { menus_.showThinking->setChecked(false); });
    connect(thinkingWindow_, &ThinkingWindow::moved, this, [this](QPoint topLeft) {
        const QPoint main = frameGeometry().topLeft();
        state_.infoWindowOffsetX = topLeft.x() - main.x();
        state_.infoWindowOffsetY = topLeft.y() - main.y();
    });
    // Against the main window's right edge, bottom edges level.
    const QRect main = frameGeometry();
    thinkingWindow_->move(main.left() + main.width(),
        main.top() + main.height() - thinkingWindow_->frameGeometry().height());
    thinkingWindow_->show();
    menus_.showThinking->setChecked(true);
}

void MainWindow::placeThinkingWindow() {
    if (!thinkingWindow_) return;
    const QPoint main = frameGeometry().topLeft();
    thinkingWindow_->move(main.x() + state_.infoWindowOffsetX, main.y() + state_.infoWindowOffsetY);
}

bool MainWindow::event(QEvent* event) {
    // The person is greeted with the new-game dialog once the window is up; queued, so
    // the window is fully shown (and laid out) under it.
    if (event->type() == QEvent::WindowActivate && !greeted_) {
        greeted_ = true;
        QMetaObject::invokeMethod(this, &MainWindow::openNewGameDialog, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!mayLeaveGame(*this)) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == surface_ && event->type() == QEvent::Resize) layoutMainWindow();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    followMainWindow();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // A top-level tool window does not hide with its owner on its own.
    if (listWindow_) listWindow_->hide();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    followMainWindow();
    // The frame is known only once the window is on screen, and placing it may move
    // the client area without a move event: place the list again when that settles.
    QTimer::singleShot(0, this, &MainWindow::followMainWindow);
}

} // namespace qinglan
