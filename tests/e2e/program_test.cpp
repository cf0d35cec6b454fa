#include "tests/e2e/program_harness.h"

namespace {

// A first screen that stays until the program is closed: a fade from the exit
// state back to the exit state that takes a day. The state machine builds it
// from data alone, so the program needs no state of the tests' own.
const char HOLDING_MACHINE[] =
    "struct STATE_Exit\n"
    "{\n"
    "\tstruct Forward\n"
    "\t{\n"
    "\t\tstring state:\t\"E2E_STATE_Hold\"\n"
    "\t\tstring transition:\t\"STATE_TRANSITION_Fade\"\n"
    "\t\tfloat transitionTime:\t86400\n"
    "\t}\n"
    "}\n"
    "struct E2E_STATE_Hold\n"
    "{\n"
    "\tstring class:\t\"STATE_Exit\"\n"
    "}\n";

// A first screen that does not exist: start-up fails with a message.
const char FAILING_MACHINE[] =
    "struct STATE_Exit\n"
    "{\n"
    "\tstruct Forward\n"
    "\t{\n"
    "\t\tstring state:\t\"E2E_STATE_Missing\"\n"
    "\t}\n"
    "}\n";

// The same with a short fade: the exit state becomes current after it.
const char ENDING_MACHINE[] =
    "struct STATE_Exit\n"
    "{\n"
    "\tstruct Forward\n"
    "\t{\n"
    "\t\tstring state:\t\"E2E_STATE_Hold\"\n"
    "\t\tstring transition:\t\"STATE_TRANSITION_Fade\"\n"
    "\t\tfloat transitionTime:\t0.3\n"
    "\t}\n"
    "}\n"
    "struct E2E_STATE_Hold\n"
    "{\n"
    "\tstring class:\t\"STATE_Exit\"\n"
    "}\n";

}  // namespace

TEST_F(ProgramTest, RunsFramesUntilTheWindowIsClosedAndSavesTheSettings) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen()) << "no X display (is DISPLAY set?)";
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    EXPECT_EQ(desktop.GetTitle(window), "Gearhaven");

    std::this_thread::sleep_for(RUNNING_TIME);
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();
    EXPECT_FALSE(fs::exists(SettingsFile()));

    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile()));
    EXPECT_EQ(run.GetErrorOutput().find("Error"), std::string::npos) << run.GetErrorOutput();
}

TEST_F(ProgramTest, SurvivesLosingAndRegainingTheDisplay) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    ProgramRun run(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    std::this_thread::sleep_for(RUNNING_TIME);
    for (int i = 0; i < 3; ++i) {
        desktop.Focus(window);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        desktop.FocusDesktop();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    desktop.Focus(window);
    std::this_thread::sleep_for(RUNNING_TIME);
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();

    // Closed while switched out: the loop ends without waiting for the display.
    desktop.FocusDesktop();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, TerminationSignalsEndTheGameLikeTheCloseButton) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    for (int signal : {SIGTERM, SIGINT}) {
        fs::remove_all(config / "Orrowick");
        ProgramRun run(folder, config, {"-windowed"});
        ASSERT_NE(WaitForWindow(desktop, run), Window(None));
        // The window opens before the program takes the signals over.
        std::this_thread::sleep_for(RUNNING_TIME);
        kill(run.GetPid(), signal);
        ExpectCleanEnd(run);
        EXPECT_TRUE(fs::exists(SettingsFile())) << "signal " << signal;
    }
}

TEST_F(ProgramTest, SecondCopyOnTheSameDisplayEndsAtOnceAndSilently) {
    LayOutGame(HOLDING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    ProgramRun first(folder, config, {"-windowed"});
    const Window window = WaitForWindow(desktop, first);
    ASSERT_NE(window, Window(None));

    const fs::path secondFolder = root / "second";
    fs::create_directories(secondFolder);
    ProgramRun second(secondFolder, config, {"-windowed"});
    int exitCode = -2;
    ASSERT_TRUE(second.WaitForEnd(END_TIMEOUT, exitCode));
    EXPECT_EQ(exitCode, 0);
    // Not even the message about a failed start-up.
    EXPECT_EQ(second.GetErrorOutput(), "");
    EXPECT_TRUE(first.IsRunning());

    desktop.SendClose(window);
    ExpectCleanEnd(first);
}

TEST_F(ProgramTest, EndsWhenTheExitStateBecomesCurrent) {
    LayOutGame(ENDING_MACHINE);
    ProgramRun run(folder, config, {"-windowed"});
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile())) << run.GetErrorOutput();
}

TEST_F(ProgramTest, WithoutADisplayTheMessageGoesToStandardError) {
    LayOutGame(HOLDING_MACHINE);
    const char* display = getenv("DISPLAY");
    const std::string saved = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    ProgramRun run(folder, config, {"-windowed"});
    if (display != nullptr) {
        setenv("DISPLAY", saved.c_str(), 1);
    }
    ExpectEnd(run, 1);
    EXPECT_NE(run.GetErrorOutput().find("Error: Couldn't start the game library.\n"
                                        "No X display was found: DISPLAY is not set."),
              std::string::npos)
        << run.GetErrorOutput();
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, ADamagedDatafileIsReportedNeverReadByTheLibrary) {
    LayOutGame(HOLDING_MACHINE);
    // Cut short inside the font, the first object of the datafile.
    fs::resize_file(folder / "tarnmoore.dat", 200);
    ProgramRun run(folder, config, {"-windowed"});
    ExpectEnd(run, 1);
    EXPECT_NE(run.GetErrorOutput().find("The game's data file is damaged\nFile: tarnmoore.dat"),
              std::string::npos)
        << run.GetErrorOutput();
    EXPECT_EQ(run.GetErrorOutput().find("AddressSanitizer"), std::string::npos);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, MissingDatafileIsReportedAndEndsWithFailure) {
    // A copy of the program on its own: the build keeps a datafile beside
    // the program it builds.
    const fs::path lone = root / "lone" / "gearhaven";
    fs::create_directories(lone.parent_path());
    fs::copy_file(GEARHAVEN_PROGRAM, lone);
    RunOptions options;
    options.program = lone.string();
    ProgramRun run(folder, config, {"-windowed"}, options);
    ExpectEnd(run, 1);
    EXPECT_NE(run.GetErrorOutput().find("File Not Found: tarnmoore.dat\nIt was looked for in:\n" +
                                        folder.string() + "\n" + lone.parent_path().string()),
              std::string::npos)
        << run.GetErrorOutput();
    EXPECT_EQ(run.GetErrorOutput().find("AllegroGL"), std::string::npos);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(ProgramTest, AMessageNeverKeepsTheProgramFromEnding) {
    LayOutGame(FAILING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    RunOptions options;
    options.realMessages = true;
    for (const std::string way : {"SIGTERM", "SIGINT", "close button"}) {
        SCOPED_TRACE(way);
        fs::remove_all(config / "Orrowick");
        ProgramRun run(folder, config, {"-windowed"}, options);
        const Window window = WaitForWindow(desktop, run);
        ASSERT_NE(window, Window(None));
        ASSERT_NE(WaitForMessage(desktop, run, window), Window(None));
        std::this_thread::sleep_for(RUNNING_TIME);
        ASSERT_TRUE(run.IsRunning());
        if (way == "SIGTERM") {
            kill(run.GetPid(), SIGTERM);
        } else if (way == "SIGINT") {
            kill(run.GetPid(), SIGINT);
        } else {
            desktop.SendClose(window);
        }
        // The start-up failed, so the status says so; the settings are kept.
        ExpectEnd(run, 1);
        EXPECT_TRUE(fs::exists(SettingsFile()));
    }
}

TEST_F(ProgramTest, SecondCopyRaisesTheFirstCopysMessageWithItsWindow) {
    LayOutGame(FAILING_MACHINE);
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    RunOptions options;
    options.realMessages = true;
    ProgramRun first(folder, config, {"-windowed"}, options);
    const Window window = WaitForWindow(desktop, first);
    ASSERT_NE(window, Window(None));
    const Window message = WaitForMessage(desktop, first, window);
    ASSERT_NE(message, Window(None));
    desktop.Raise(window);
    ASSERT_GT(desktop.StackIndex(window), desktop.StackIndex(message));

    const fs::path secondFolder = root / "second";
    fs::create_directories(secondFolder);
    ProgramRun second(secondFolder, config, {"-windowed"});
    ExpectEnd(second, 0);
    EXPECT_GT(desktop.StackIndex(message), desktop.StackIndex(window));

    desktop.SendClose(window);
    ExpectEnd(first, 1);
}

TEST_F(ProgramTest, BuiltGameFindsItsDataFromAnyFolder) {
    // The build's own datafile, found beside the program from an empty
    // working folder. Whatever the game's first screen does then, the data
    // was found when the window opens or the program ends without a missing
    // file.
    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    ProgramRun run(folder, config, {"-windowed"});
    const auto deadline = std::chrono::steady_clock::now() + START_TIMEOUT;
    Window window = None;
    while (window == None && run.IsRunning() && std::chrono::steady_clock::now() < deadline) {
        window = desktop.FindTaggedWindow();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (window != None) {
        desktop.SendClose(window);
    }
    int exitCode = -2;
    ASSERT_TRUE(run.WaitForEnd(END_TIMEOUT, exitCode)) << run.GetErrorOutput();
    EXPECT_EQ(run.GetErrorOutput().find("File Not Found"), std::string::npos)
        << run.GetErrorOutput();
    EXPECT_TRUE(fs::exists(SettingsFile())) << run.GetErrorOutput();
}

TEST_F(ProgramTest, InstalledGameStartsFromAnyFolder) {
    const fs::path prefix = root / "prefix";
    const std::string install = std::string("\"") + CMAKE_COMMAND + "\" --install \"" +
                                GEARHAVEN_BUILD_FOLDER + "\" --prefix \"" + prefix.string() +
                                "\" > /dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0) << install;
    const fs::path data = prefix / "share" / "gearhaven";
    ASSERT_TRUE(fs::exists(prefix / "bin" / "gearhaven"));
    ASSERT_TRUE(fs::exists(data / "tarnmoore.dat"));

    // The tests' font-only datafile and first screen in place of the game's,
    // so that the installed program runs until it is closed.
    fs::remove(data / "tarnmoore.dat");
    fs::copy_file(GEARHAVEN_FONT_DATAFILE, data / "tarnmoore.dat");
    WriteFile(data / "resources" / "StateMachine.txt", HOLDING_MACHINE);
    fs::copy_file(fs::path(GEARHAVEN_RESOURCES) / "objectfile1.txt",
                  data / "resources" / "objectfile1.txt");
    fs::create_directory_symlink(fs::path(GEARHAVEN_RESOURCES) / "sounds",
                                 data / "resources" / "sounds");

    Desktop desktop;
    ASSERT_TRUE(desktop.IsOpen());
    RunOptions options;
    options.program = (prefix / "bin" / "gearhaven").string();
    // Started from an empty folder.
    ProgramRun run(folder, config, {"-windowed"}, options);
    const Window window = WaitForWindow(desktop, run);
    ASSERT_NE(window, Window(None));
    std::this_thread::sleep_for(RUNNING_TIME);
    ASSERT_TRUE(run.IsRunning()) << run.GetErrorOutput();
    desktop.SendClose(window);
    ExpectCleanEnd(run);
    EXPECT_TRUE(fs::exists(SettingsFile()));
}
