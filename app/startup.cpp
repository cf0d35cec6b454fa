#include "app/startup.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <utility>

#include <alleggl.h>
#include <allegro.h>

#include "app/display_loop_host.h"
#include "app/display_mode.h"
#include "app/exit_status.h"
#include "app/frame_timer.h"
#include "app/gl_check.h"
#include "app/gl_font.h"
#include "app/graphics_mode.h"
#include "app/main_loop.h"
#include "app/program_constants.h"
#include "app/services.h"
#include "app/settings.h"
#include "app/show_message.h"
#include "app/startup_failure.h"
#include "app/state_machine.h"
#include "app/window_events.h"
#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sound/ogg_player.h"
#include "engine/sound/sound_manager.h"
#include "engine/state/exit_state.h"
#include "platform/close_request.h"
#include "platform/cursor.h"
#include "platform/data_folder.h"
#include "platform/display_check.h"
#include "platform/message_box.h"
#include "platform/window_tag.h"
#include "platform/window_title.h"

namespace {

const long WINDOW_TAG = 123;
const int VOICE_CAP = 64;

const char DATAFILE[] = "tarnmoore.dat";
const char FONT_RESOURCE[] = "resources/font.pcx";
const char SOUND_LIST[] = "resources/sounds/sounds.txt";
const char OBJECT_FILE[] = "resources/objectfile1.txt";

const PropertyKey KEY_DIGI_VOICES("digiVoices");
const PropertyKey KEY_DIFFICULTY("difficulty");
const PropertyKey KEY_SETTINGS("TARNMOORE_Settings");
const PropertyKey KEY_SOUND_EFFECTS("TARNMOORE_SoundEffects");
const PropertyKey TRIGGER_FORWARD("Forward");

// What lives from start-up to the end of the program, and what the end has
// to undo.
struct Program {
    Program() : input(orvel::CreateLibraryInputSource()) {}

    orvel::Input input;
    // Held until the game library has its own connection to the display.
    std::unique_ptr<TaggedWindowSearch> windowSearch;
    bool libraryStarted = false;
    bool keyboardInstalled = false;
    bool switchCallbacksInstalled = false;
    bool settingsLoaded = false;
    bool fullscreen = true;
    int voices = 0;

    FONT* libraryFont = nullptr;  // the library's own font, put back at the end
    orvel::AccessInterfacePtr fontObject;
    GlFontPtr glFont;
    orvel::SoundManagerPtr soundManager;
    orvel::OggPlayerPtr music;
    orvel::StatePtr current;
};

void StartLibraryAndSound(Program& program) {
    // Without a display the library cannot start, and nothing after this
    // could work.
    if (allegro_init() != 0) {
        std::string reason = DescribeMissingDisplay();
        if (reason.empty()) {
            reason = allegro_error;
        }
        throw orvel::ExceptionGeneral("Couldn't start the game library." +
                                      (reason.empty() ? std::string() : "\n" + reason));
    }
    program.libraryStarted = true;
    program.libraryFont = font;
    program.windowSearch.reset();
    // At once, so that the close button and the signals end the program
    // normally from here on, also while a message about a failed start-up
    // waits for the player.
    InstallCloseHandlers(OnCloseButton);

    int voices = detect_digi_driver(DIGI_AUTODETECT);
    if (voices > VOICE_CAP) {
        voices = VOICE_CAP;
    }
    if (voices < 0) {
        voices = 0;
    }
    program.voices = voices;
    reserve_voices(voices, 0);
    // Without a sound card the game simply stays silent.
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    orvel::GlobalProperties().SetInt(KEY_DIGI_VOICES, voices);

    install_timer();
}

// The datafile and the loose files are named relative to the game's data
// folder; the game works from there, wherever it was started.
void MoveToDataFolder() {
    std::error_code error;
    const std::string working = std::filesystem::current_path(error).string();
    const std::vector<std::string> candidates = DataFolderCandidates(working, ProgramFolder());
    const std::string folder = FindDataFolder(DATAFILE, candidates);
    if (folder.empty()) {
        std::string places;
        for (const std::string& candidate : candidates) {
            places += "\n" + candidate;
        }
        throw orvel::ExceptionFileNotFound(std::string(DATAFILE) +
                                           "\nIt was looked for in:" + places);
    }
    std::filesystem::current_path(folder);
}

void LoadDataAndStateMachine(const StateRegistration& registerStates) {
    MoveToDataFolder();
    orvel::SetDatafilePath(DATAFILE);
    TarnmooreStateMachineImpl::Instance()->LoadStateMachineDefinition();
    registerStates(*TarnmooreStateMachineImpl::Instance());
}

void OpenDisplay(Program& program, int argc, char* argv[]) {
    int width = 0;
    int height = 0;
    if (get_desktop_resolution(&width, &height) != 0) {
        width = 0;
        height = 0;
    }
    program.fullscreen = ChooseFullscreen(width, height, argc, argv);

    if (install_allegro_gl() != 0) {
        throw orvel::ExceptionGeneral(ALLEGRO_GL_INSTALL_FAILED);
    }
    // Titled before the mode, so that the window opens with its title.
    SetWindowTitle(WINDOW_TITLE);
    program.fullscreen =
        SetGraphicsMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_DEPTH, program.fullscreen);
    SetWindowTag(WINDOW_TAG);
    SetWindowTitle(WINDOW_TITLE);
    CheckOpenGl();
}

void InstallDevicesAndCallbacks(Program& program) {
    install_keyboard();
    program.keyboardInstalled = true;
    install_mouse();
    install_joystick(JOY_TYPE_AUTODETECT);

    // Both switch callbacks or neither.
    if (set_display_switch_callback(SWITCH_OUT, OnSwitchOut) == 0) {
        if (set_display_switch_callback(SWITCH_IN, OnSwitchIn) == 0) {
            program.switchCallbacksInstalled = true;
        } else {
            remove_display_switch_callback(OnSwitchOut);
        }
    }
}

void LoadFont(Program& program) {
    program.fontObject = orvel::LoadDatafileObject(FONT_RESOURCE);
    // The font is only ever read from the datafile, as a font object; the
    // datafile's structure, the font's included, was walked when it was set.
    const auto& object = program.fontObject->object;
    if (!object || object->type != DAT_FONT || object->dat == nullptr) {
        throw orvel::ExceptionFileNotFound(FONT_RESOURCE);
    }
    font = static_cast<FONT*>(object->dat);
    program.glFont = ConvertGameFont();
    orvel::GlobalProperties()[KEY_GL_FONT] = program.glFont.get();
}

void RegisterServices(Program& program) {
    orvel::Attributes& registry = orvel::GlobalProperties();

    program.soundManager = std::make_shared<orvel::SoundManager>(program.voices);
    program.soundManager->LoadSoundList(SOUND_LIST);
    registry[KEY_SOUND_MANAGER] = program.soundManager;
    const orvel::PropertiesPtr settings = registry.GetProperties(KEY_SETTINGS);
    if (settings->GetInt(KEY_SOUND_EFFECTS) != 0) {
        program.soundManager->Enable();
    } else {
        program.soundManager->Disable();
    }

    program.music = std::make_shared<orvel::OggPlayer>();
    registry[KEY_MUSIC_PLAYER] = program.music;

    registry[KEY_OBJECT_PROPERTIES] = orvel::LoadPropertyFile(OBJECT_FILE);
}

// Returns the exit status: a failure when the state machine could not make the
// first screen (it has shown why, and the exit state it kept ends the loop at
// once).
int StartAndRun(Program& program, int argc, char* argv[],
                const StateRegistration& registerStates) {
    StartLibraryAndSound(program);
    LoadDataAndStateMachine(registerStates);
    OpenDisplay(program, argc, argv);
    InstallDevicesAndCallbacks(program);
    LoadFont(program);
    SetFixedGlState();
    LoadSettings();
    program.settingsLoaded = true;
    RegisterServices(program);
    if (program.fullscreen) {
        ClipCursorToScreen(SCREEN_WIDTH, SCREEN_HEIGHT);
    }

    const orvel::StatePtr exitState = std::make_shared<orvel::ExitState>();
    program.current =
        TarnmooreStateMachineImpl::Instance()->CreateStateForTrigger(exitState, TRIGGER_FORWARD);
    orvel::GlobalProperties().SetInt(KEY_DIFFICULTY, 0);

    PerformanceClock clock;
    Timer timer(clock);
    timer.Start();
    DisplayLoopHost host(program.input, program.fullscreen, program.glFont, program.soundManager,
                         program.music);
    const bool firstScreenMade = program.current != exitState;
    // The loop takes the first state over: a first transition kept here would
    // keep its screens counted as in a transition for the whole run, and a
    // menu ignores input while it is.
    RunMainLoop(std::move(program.current), host, timer);

    SaveSettings();
    return firstScreenMade ? EXIT_STATUS_NORMAL : EXIT_STATUS_FAILED;
}

// Undoes start-up on every way out, while the game library still runs.
void End(Program& program) {
    program.windowSearch.reset();
    if (program.libraryStarted) {
        if (program.switchCallbacksInstalled) {
            remove_display_switch_callback(OnSwitchIn);
            remove_display_switch_callback(OnSwitchOut);
        }
        RemoveCloseHandlers();
        if (program.keyboardInstalled) {
            clear_keybuf();
        }
    }
    ReleaseServices();
    program.current.reset();
    program.music.reset();
    program.soundManager.reset();
    program.glFont.reset();
    if (program.libraryStarted) {
        font = program.libraryFont;
    }
    program.fontObject.reset();
}

// Messages wait for the player, but never past a request to end the game.
void ShowMessageWindow(const std::string& text) { ShowMessageBox(text, IsQuitRequested); }

}  // namespace

int RunProgram(int argc, char* argv[], const StateRegistration& registerStates) {
    SetMessageHandler(ShowMessageWindow);
    std::unique_ptr<Program> program(new Program());
    RegisterStartupFailureReport();

    program->windowSearch.reset(new TaggedWindowSearch());
    if (program->windowSearch->FindAndShow(WINDOW_TAG)) {
        MarkNormalEnd();
        return EXIT_STATUS_NORMAL;
    }

    int status = EXIT_STATUS_FAILED;
    try {
        status = StartAndRun(*program, argc, argv, registerStates);
    } catch (const orvel::Exception& exception) {
        ShowMessage(exception.What());
    } catch (const std::exception& exception) {
        ShowMessage(exception.what());
    } catch (...) {
    }
    // Closed while the message about the failure showed: the player ended the
    // game, and the close keeps the settings as it does in play.
    if (status != EXIT_STATUS_NORMAL && IsQuitRequested() && program->settingsLoaded) {
        TrySaveSettings();
    }

    End(*program);
    MarkNormalEnd();
    return status;
}
