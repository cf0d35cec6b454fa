#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/anim/easing_holder.h"
#include "engine/ui/morph.h"
#include "game/frontend/skirmish_levels.h"

namespace orvel {
class SpriteCacheManager;
class SpriteMorph;
}  // namespace orvel

// The skirmish screen's list of levels: rows of text in the GL font, clipped
// to the morph's rect, that wrap around endlessly, and two preview pictures
// above the list that cross-fade when the selection changes.
//
// A click on a row selects it: the list glides over 0.4 s until the row sits
// on the fourth visible line, the row is written to the registry as
// "selectedSkirmishLevelIndex", and the preview fades to the row's picture
// (its folder's "preview.jpg"; the locked picture for a locked row or a
// separator; a stand-in for a user level without a usable preview). The
// selection is a row of the list drawn twice over, so it may lie in the
// second copy; the entry is the row modulo the entry count.
class LevelListMorph : public orvel::Morph {
public:
    static const char LOCKED_PREVIEW[];   // "resources/Skirmish/preview_locked.jpg"
    static const char MISSING_PREVIEW[];  // "resources/Skirmish/preview_none.jpg"
    static const float GLIDE_TIME;        // seconds, of both the scroll and the fade

    LevelListMorph(const std::shared_ptr<orvel::SpriteCacheManager>& sprites,
                   unsigned lineHeight);
    ~LevelListMorph() override;

    // The rows; call CreatePreviews once they are set.
    void SetEntries(std::vector<SkirmishLevelEntry> rows);
    // Makes both previews, takes the selection from the registry (the first
    // entry of the second copy when absent) and scrolls to it at once; both
    // previews show the selected entry.
    void CreatePreviews();

    bool Update(float dt) override;
    void DrawSelf() override;
    // "MouseLDown" inside the list's own rect selects the row under the
    // mouse. A click on a preview (a child lying outside that rect) selects
    // nothing and is left to others.
    bool HandleEvent(PropertyKey event, const boost::any& argument) override;
    PropertyKey GetTypeName() const override;

    const std::vector<SkirmishLevelEntry>& GetEntries() const { return entries; }
    unsigned GetSelected() const { return selected; }
    // The selected entry; the list must not be empty.
    const SkirmishLevelEntry& GetSelectedEntry() const;
    int GetScrollOffset() const { return scrollOffset; }
    bool IsGliding() const { return scrolling || fading; }
    orvel::SpriteMorph& GetShownPreview() const { return *shownPreview; }
    orvel::SpriteMorph& GetIncomingPreview() const { return *incomingPreview; }
    // The picture that a row's preview shows.
    std::string PreviewOf(const SkirmishLevelEntry& entry) const;

private:
    void Select(unsigned row);
    void ShowPreview(orvel::SpriteMorph& preview, const SkirmishLevelEntry& entry);
    void WrapScroll();
    void DrawRows(float scale, int textHeight, unsigned firstRow) const;

    std::shared_ptr<orvel::SpriteCacheManager> sprites;
    unsigned lineHeight;
    std::vector<SkirmishLevelEntry> entries;
    int scrollOffset = 0;
    orvel::ParametricHolder scroll;
    bool scrolling = false;
    orvel::ParametricHolder fade;
    bool fading = false;
    unsigned selected = 0;
    std::shared_ptr<orvel::SpriteMorph> incomingPreview;
    std::shared_ptr<orvel::SpriteMorph> shownPreview;
};
