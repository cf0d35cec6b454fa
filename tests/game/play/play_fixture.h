#pragma once

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/state_machine.h"
#include "engine/core/attributes.h"
#include "engine/core/input.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/sound/fake_voice_backend.h"
#include "engine/sound/sound_manager.h"
#include "game/play/mechanica_state.h"
#include "tests/game/play/scripted_input.h"
#include "tests/support/gl_context.h"
#include "tests/support/temp_folder.h"

// A screen that the state machine builds for a trigger of the game: it only
// remembers the trigger that led to it.
class TriggeredState : public orvel::State {
public:
    explicit TriggeredState(PropertyKey name) : State(name) {}
    orvel::StatePtr Update(const orvel::Input&, float) override { return nullptr; }
    void Draw() override {}
    void UnloadTextures() override {}
    void ReloadTextures() override {}
    PropertyKey GetName() const override { return GetStoredName(); }
};

// Plays a level as the program would: the registry values that the screens
// before a level leave (a campaign level at a difficulty, the settings, the
// sound manager with the game's samples on a silent backend, the object
// definitions), the in-game
// state built by the screen-state machine, frames of 1/60 s with scripted
// input, and the triggers that it fires. Each trigger of the in-game state
// leads to a state named "After" + the trigger. Uses the built datafile for
// the level's pictures and a private settings folder.
class PlayFixture : public GlTest {
protected:
    // The player of most tests has seen the campaign's hints before: shown,
    // the welcome a few seconds into a level (and the others when their
    // moment comes) would take the frame and stop the play the test drives.
    // Tests of the hints themselves clear this before SetUp.
    bool campaignHintsSeen = true;

    static void MarkCampaignHintsSeen(orvel::Properties& settings) {
        const orvel::PropertiesPtr flags =
            settings.GetStruct(PropertyKey("TUTORIAL_DIALOG_DialogPlayedFlags"));
        for (const char* hint :
             {"TUTORIAL_DIALOG_Welcome", "TUTORIAL_DIALOG_Objective", "TUTORIAL_DIALOG_MagnetBunker",
              "TUTORIAL_DIALOG_FanBunker", "TUTORIAL_DIALOG_LongTimeToWin",
              "TUTORIAL_DIALOG_Refuelling", "TUTORIAL_DIALOG_Refuelling2"}) {
            flags->SetInt(PropertyKey(hint), 1);
        }
    }

    void SetUp() override {
        GlTest::SetUp();
        setenv("XDG_CONFIG_HOME", settingsFolder.GetPath().c_str(), 1);
        boost::filesystem::current_path(sourceFolder);
#ifdef GEARHAVEN_BUILT_DATAFILE
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
#endif
        orvel::Attributes& registry = orvel::GlobalProperties();
        const orvel::PropertiesPtr settings = std::make_shared<orvel::Properties>();
        FillSettingsDefaults(*settings);
        settings->SetInt(PropertyKey("TARNMOORE_Music"), 0);
        if (campaignHintsSeen) {
            MarkCampaignHintsSeen(*settings);
        }
        registry[PropertyKey("TARNMOORE_Settings")] = settings;
        voices = std::make_shared<orvel::FakeVoiceBackend>();
        soundManager = std::make_shared<orvel::SoundManager>(64, voices);
        soundManager->LoadSoundList("resources/sounds/sounds.txt");
        registry[PropertyKey("qSoundManager")] = soundManager;
        registry[PropertyKey("qObjectProperties")] =
            orvel::LoadPropertyFile("resources/objectfile1.txt");
        registry.SetInt(PropertyKey("difficulty"), 1);
        SetLevel(0);

        machine = TarnmooreStateMachineImpl::Instance();
        previousDefinition = machine->GetDefinition();
        machine->SetDefinition(Definition());
        RegisterMechanicaState(*machine);
        for (const char* trigger : TRIGGERS) {
            machine->RegisterStateClass(PropertyKey(std::string("After") + trigger),
                                        [](const StateArguments& arguments) {
                                            return std::make_shared<TriggeredState>(arguments.name);
                                        });
        }
        input = std::make_shared<ScriptedInputSource>();
        snapshot.reset(new orvel::Input(input));
    }

    void TearDown() override {
        game.reset();
        next.reset();
        machine->SetDefinition(previousDefinition);
        orvel::Attributes& registry = orvel::GlobalProperties();
        for (const char* key : REGISTRY_KEYS) {
            registry.Erase(PropertyKey(key));
        }
        orvel::ClearDatafilePath();
        unsetenv("XDG_CONFIG_HOME");
    }

    void SetLevel(int number) {
        orvel::GlobalProperties().SetInt(PropertyKey("TARNMOORE_CurrentLevel"), number);
    }

    // Builds the in-game state the way the loading screen does: through the
    // state machine, from a screen whose "Forward" leads to the game.
    void StartLevel() {
        const auto loading = std::make_shared<TriggeredState>(PropertyKey("Loading"));
        game = std::dynamic_pointer_cast<MechanicaState>(
            machine->CreateStateForTrigger(loading, PropertyKey("Forward")));
        ASSERT_TRUE(game) << "the level did not load";
    }

    // Runs frames of 1/60 s until one hands back a next state or `frames`
    // have run; each frame's input comes from `script` (frame index from 0).
    // Returns the frames run.
    int Run(int frames, const std::function<ScriptedFrame(int)>& script = nullptr) {
        for (int i = 0; i < frames; ++i) {
            input->frame = script ? script(i) : ScriptedFrame();
            snapshot->Poll();
            next = game->Update(*snapshot, FRAME_TIME);
            if (next) {
                return i + 1;
            }
        }
        return frames;
    }

    // The trigger that the last Run ended with, or the empty text.
    std::string Fired() const {
        if (!next) {
            return "";
        }
        const std::string name = next->GetName().GetName();
        return name.compare(0, 5, "After") == 0 ? name.substr(5) : name;
    }

    orvel::Mechanica& World() const { return game->GetWorld(); }

    // How many voices play the named sample now.
    int VoicesPlaying(const char* sample) const {
        const orvel::SamplePtr wanted = soundManager->GetSample(PropertyKey(sample));
        int count = 0;
        for (int i = 0; i < voices->GetVoiceCount(); ++i) {
            const orvel::FakeVoiceBackend::Voice& voice = voices->GetVoice(i);
            count += voice.playing && wanted && voice.sample == wanted->GetData() ? 1 : 0;
        }
        return count;
    }

    static constexpr float FRAME_TIME = 1.0f / 60.0f;

    std::shared_ptr<MechanicaState> game;
    orvel::StatePtr next;
    std::shared_ptr<ScriptedInputSource> input;
    std::unique_ptr<orvel::Input> snapshot;
    std::shared_ptr<orvel::FakeVoiceBackend> voices;
    std::shared_ptr<orvel::SoundManager> soundManager;
    const boost::filesystem::path sourceFolder = boost::filesystem::current_path();

private:
    static orvel::PropertiesPtr Entry(orvel::Properties& parent, const std::string& name) {
        const orvel::PropertiesPtr entry = std::make_shared<orvel::Properties>();
        parent.SetStruct(PropertyKey(name), entry);
        return entry;
    }

    static orvel::PropertiesPtr Definition() {
        const orvel::PropertiesPtr tree = std::make_shared<orvel::Properties>();
        Entry(*Entry(*tree, "Loading"), "Forward")
            ->SetString(PropertyKey("state"), "TARNMOORE_STATE_Mechanica");
        const orvel::PropertiesPtr game = Entry(*tree, "TARNMOORE_STATE_Mechanica");
        for (const char* trigger : TRIGGERS) {
            const std::string after = std::string("After") + trigger;
            Entry(*game, trigger)->SetString(PropertyKey("state"), after);
            Entry(*tree, after);
        }
        return tree;
    }

    static constexpr const char* TRIGGERS[] = {"Win", "Lose", "TutorialWin", "Help"};
    static constexpr const char* REGISTRY_KEYS[] = {
        "TARNMOORE_Settings",
        "qSoundManager",
        "qObjectProperties",
        "difficulty",
        "TARNMOORE_CurrentLevel",
        "qUnitStats",
        "AI_COMPONENT_Capabilities",
        "GoodVehicleStopped",
        "isSkirmishMode",
        "isTutorialLevel",
        "Resume",
        "deltaMoneyBags",
        "spawnedUnit",
        "enemyBuy",
        "enemyBuyUnit",
        "levelPath",
        "goodPurchaseControl",
        "goodAirshipControl",
        "badPurchaseControl",
        "badAirshipControl",
    };

    std::shared_ptr<TarnmooreStateMachineImpl> machine;
    orvel::PropertiesPtr previousDefinition;
    TempFolder settingsFolder;
};
