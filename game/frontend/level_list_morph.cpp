#include "game/frontend/level_list_morph.h"

#include <allegro.h>
#include <GL/gl.h>

#include "engine/core/attributes.h"
#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/sprites/sprite_cache_manager.h"
#include "engine/ui/current_gl_font.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_drawing.h"
#include "engine/ui/sprite_morph.h"

const char LevelListMorph::LOCKED_PREVIEW[] = "resources/Skirmish/preview_locked.jpg";
const char LevelListMorph::MISSING_PREVIEW[] = "resources/Skirmish/preview_none.jpg";
const float LevelListMorph::GLIDE_TIME = 0.4f;

namespace {

const PropertyKey TYPE_NAME("LevelListMorph");
const PropertyKey KEY_SELECTED("selectedSkirmishLevelIndex");
const PropertyKey PREVIEW_NAME("UntitledSpriteMorph");
const char PREVIEW_FILE[] = "/preview.jpg";
const orvel::PointI PREVIEW_PLACE(10, 53);
const orvel::PointI PREVIEW_SIZE(780, 86);
// The selected row glides to the fourth visible line.
const int SELECTED_LINE = 3;
// Text fills three quarters of a row.
const float TEXT_SHARE = 0.75f;
const float TEXT_X = 10.0f;
const int32_t LOCKED_COLOUR = orvel::MakeColour(105, 100, 100, 255);
const int32_t OPAQUE = 255;

orvel::ParametricPtr EaseIn() { return std::make_shared<orvel::EaseIn>(); }

int32_t White(int alpha) { return orvel::MakeColour(255, 255, 255, alpha); }

}  // namespace

LevelListMorph::LevelListMorph(const std::shared_ptr<orvel::SpriteCacheManager>& sprites,
                               unsigned lineHeight)
    : orvel::Morph(PropertyKey("UntitledLevelListMorph")),
      sprites(sprites),
      lineHeight(lineHeight) {}

LevelListMorph::~LevelListMorph() = default;

void LevelListMorph::SetEntries(std::vector<SkirmishLevelEntry> rows) { entries = std::move(rows); }

const SkirmishLevelEntry& LevelListMorph::GetSelectedEntry() const {
    return entries[selected % entries.size()];
}

std::string LevelListMorph::PreviewOf(const SkirmishLevelEntry& entry) const {
    return entry.unlocked ? entry.folder + PREVIEW_FILE : std::string(LOCKED_PREVIEW);
}

// A user's level may come without a preview, or with one that cannot be
// read: it shows the stand-in rather than stopping the screen.
void LevelListMorph::ShowPreview(orvel::SpriteMorph& preview, const SkirmishLevelEntry& entry) {
    try {
        preview.GetSprite().SetAnimation(PreviewOf(entry));
    } catch (const orvel::Exception&) {
        preview.GetSprite().SetAnimation(MISSING_PREVIEW);
    }
    preview.SetSize(PREVIEW_SIZE);
}

void LevelListMorph::CreatePreviews() {
    if (entries.empty()) {
        throw orvel::ExceptionGeneral("The skirmish level list has no rows");
    }
    orvel::Attributes& registry = orvel::GlobalProperties();
    selected = registry.Contains(KEY_SELECTED) ? unsigned(registry.GetInt(KEY_SELECTED))
                                                : unsigned(entries.size());
    for (std::shared_ptr<orvel::SpriteMorph>* preview : {&incomingPreview, &shownPreview}) {
        *preview = std::make_shared<orvel::SpriteMorph>(sprites, MISSING_PREVIEW, PREVIEW_NAME);
        ShowPreview(**preview, GetSelectedEntry());
        (*preview)->SetPosition(PREVIEW_PLACE);
        AddChild(*preview);
    }
    incomingPreview->SetColour(White(0));
    scrollOffset = (SELECTED_LINE - int(selected)) * int(lineHeight);
    WrapScroll();
}

void LevelListMorph::Select(unsigned row) {
    selected = row;
    orvel::GlobalProperties().SetInt(KEY_SELECTED, int(row));
    scroll.Set(float(scrollOffset), float((SELECTED_LINE - int(row)) * int(lineHeight)),
               GLIDE_TIME, EaseIn());
    scrolling = true;
    fade.Set(0.0f, float(OPAQUE), GLIDE_TIME, EaseIn());
    fading = true;
    ShowPreview(*incomingPreview, GetSelectedEntry());
}

bool LevelListMorph::HandleEvent(PropertyKey event, const boost::any& argument) {
    if (event != orvel::MORPH_EVENT_MOUSE_L_DOWN || entries.empty()) {
        return false;
    }
    const orvel::Input* input = boost::any_cast<const orvel::Input*>(argument);
    const orvel::MorphRect box = GetRect();
    if (!box.Contains(input->GetMouseX(), input->GetMouseY())) {
        return false;
    }
    const unsigned row =
        unsigned(input->GetMouseY() - scrollOffset - box.top) / lineHeight;
    if (row % entries.size() != selected % entries.size()) {
        Select(row);
    }
    return true;
}

void LevelListMorph::WrapScroll() {
    const int span = int(lineHeight) * int(entries.size());
    if (span == 0) {
        return;
    }
    while (scrollOffset > 0) {
        scrollOffset -= span;
    }
    while (scrollOffset <= -span) {
        scrollOffset += span;
    }
}

bool LevelListMorph::Update(float dt) {
    if (scrolling) {
        scroll.SetElapsed(scroll.GetElapsed() + dt);
        if (scroll.GetElapsed() >= scroll.GetDuration()) {
            scroll.SetElapsed(scroll.GetDuration());
            scrolling = false;
        }
        scrollOffset = int(scroll.GetValue());
    }
    WrapScroll();
    if (fading) {
        fade.SetElapsed(fade.GetElapsed() + dt);
        const bool done = fade.GetElapsed() >= fade.GetDuration();
        if (done) {
            fade.SetElapsed(fade.GetDuration());
        }
        const int alpha = int(fade.GetValue());
        incomingPreview->SetColour(White(alpha));
        shownPreview->SetColour(White(OPAQUE - alpha));
        if (done) {
            fading = false;
            incomingPreview.swap(shownPreview);
        }
    }
    return false;
}

void LevelListMorph::DrawSelf() {
    FONT* const glFont = orvel::CurrentGlFont();
    const int textHeight = text_height(::font);
    if (glFont == nullptr || textHeight <= 0 || entries.empty()) {
        return;
    }
    const orvel::MorphRect box = GetRect();
    const double screenHeight = orvel::UI_SCREEN_HEIGHT;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // GL's y runs up: keep what lies between the list's top and bottom.
    const GLdouble belowTop[4] = {0.0, -1.0, 0.0, screenHeight - box.top};
    const GLdouble aboveBottom[4] = {0.0, 1.0, 0.0, box.Height() - screenHeight + box.top};
    glClipPlane(GL_CLIP_PLANE0, belowTop);
    glClipPlane(GL_CLIP_PLANE1, aboveBottom);
    glEnable(GL_CLIP_PLANE0);
    glEnable(GL_CLIP_PLANE1);
    const float scale = float(lineHeight) * TEXT_SHARE / float(textHeight);
    glTranslatef(float(box.left), float(screenHeight - box.top), 0.0f);
    glScalef(scale, scale, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The list twice over, so that the wrapping scroll never shows a gap.
    DrawRows(scale, textHeight, 0);
    DrawRows(scale, textHeight, unsigned(entries.size()));
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void LevelListMorph::DrawRows(float scale, int textHeight, unsigned firstRow) const {
    FONT* const glFont = orvel::CurrentGlFont();
    for (size_t i = 0; i < entries.size(); ++i) {
        const SkirmishLevelEntry& entry = entries[i];
        const float rowTop = float((firstRow + unsigned(i)) * lineHeight) + float(scrollOffset);
        const float y = -(rowTop / scale + float((3 * textHeight) / 8));
        orvel::DrawGlText(glFont, TEXT_X, y, entry.unlocked ? GetColour() : LOCKED_COLOUR,
                          entry.name);
    }
}

PropertyKey LevelListMorph::GetTypeName() const { return TYPE_NAME; }
