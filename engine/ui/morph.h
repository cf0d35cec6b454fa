#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include <boost/any.hpp>

#include "engine/core/attributes.h"
#include "engine/core/property_key.h"
#include "engine/core/vector2x.h"
#include "engine/state/state.h"
#include "engine/ui/event_handler.h"
#include "engine/ui/highlighter.h"
#include "engine/ui/morph_rect.h"

namespace orvel {

class Input;
class Morph;

typedef std::shared_ptr<Morph> MorphPtr;

// Bit of Morph::GetFlags: the mouse was inside the morph's rect at the last
// hover check.
const uint32_t MORPH_FLAG_MOUSE_INSIDE = 1;

// A node of a screen's user-interface tree. A morph owns its children; list
// order is drawing order (first drawn first) and the reverse of the order in
// which the mouse finds them. Besides its own rect a morph keeps its full
// bounds, the union of its rect and its children's full bounds, so that
// events can find a child that lies outside its parent.
//
// Handlers may add or remove morphs while the tree is walked: every walk goes
// over a copy of the child list and skips children that have left it.
class Morph {
public:
    typedef std::list<MorphPtr> ChildList;

    explicit Morph(PropertyKey name);
    // Children that live on elsewhere are told that their parent is gone.
    virtual ~Morph();
    Morph(const Morph&) = delete;
    Morph& operator=(const Morph&) = delete;

    // The display was switched away or came back: passed on to the children.
    virtual void UnloadTextures();
    virtual void ReloadTextures();
    // A 40 x 40 morph at the position in a dark blue.
    virtual void Initialize(const PointI& position);
    // Once per frame; true asks the parent to remove this morph.
    virtual bool Update(float dt);
    // Paints this morph alone (the base outlines its rect in its colour);
    // DrawTree paints the highlighter and the children.
    virtual void DrawSelf();
    // Moving the top-left moves every descendant by the same offset; a
    // resize that keeps the top-left leaves the children where they are.
    virtual void SetRect(const MorphRect& rect);
    virtual MorphRect GetRect() const;
    // Recomputes the full bounds and, when they changed, the parent's.
    virtual void UpdateFullBounds();
    // Appends `child`. A child that has a parent leaves it first; a morph
    // cannot become a child of itself or of one of its descendants.
    virtual void AddChild(MorphPtr child);
    // Unlinks the child at `position`, clears its parent and returns the
    // position after it.
    virtual ChildList::iterator RemoveChild(ChildList::const_iterator position);
    virtual PropertyKey GetTypeName() const;
    // The handler stored under the event's name runs first; when there is
    // none or it declines, the default handler decides. A value of another
    // type under the event's name throws boost::bad_any_cast.
    virtual bool HandleEvent(PropertyKey event, const boost::any& argument);

    // Removes `child` when it is a direct child; false otherwise.
    bool RemoveChild(const Morph* child);

    // Each edge must stay within UI_COORDINATE_LIMIT of the screen's origin,
    // and so must the children that move along; otherwise these and SetRect
    // throw ExceptionGeneral naming the morph and change nothing.
    void SetPosition(const PointI& topLeft);
    void SetSize(const PointI& size);
    void SetWidth(int32_t width);

    Morph* GetParent() const { return parent; }
    Morph* GetRoot();
    // The first direct child of that name, else the first match in each
    // child's subtree in list order; null when there is none.
    Morph* FindChild(PropertyKey name) const;
    // A direct child of this morph's parent; null without a parent.
    Morph* FindSibling(PropertyKey name) const;
    const ChildList& GetChildren() const { return children; }

    PropertyKey GetMorphName() const { return name; }
    void SetMorphName(PropertyKey newName) { name = newName; }
    int32_t GetColour() const { return colour; }
    void SetColour(int32_t newColour) { colour = newColour; }
    const MorphRect& GetFullBounds() const { return fullBounds; }
    uint32_t GetFlags() const { return flags; }
    bool IsMouseInside() const { return (flags & MORPH_FLAG_MOUSE_INSIDE) != 0; }

    // An empty pointer removes the default handler.
    void SetEventHandler(const EventHandlerPtr& handler) { defaultHandler = handler; }
    const EventHandlerPtr& GetEventHandler() const { return defaultHandler; }
    void SetHighlighter(const HighlighterPtr& newHighlighter) { highlighter = newHighlighter; }
    const HighlighterPtr& GetHighlighter() const { return highlighter; }
    // Sets the highlighter's state; nothing without a highlighter.
    void SetHighlightState(uint8_t state);

    Attributes& GetAttributes() { return attributes; }
    // Stores a value under `key` in the attributes, replacing an earlier one:
    // a handler under an event's name, or the next state of a screen.
    void SetAttribute(PropertyKey key, const EventHandlerPtr& handler);
    void SetAttribute(PropertyKey key, const StatePtr& state);

    // Paints the morph, then its highlighter, then each child's tree in list
    // order, so children are painted over their parent.
    static void DrawTree(Morph& morph);
    // Updates the children in list order. A child whose Update asks for it
    // is removed; the others update their highlighter and their own children.
    static void UpdateTree(Morph& morph, float dt);
    // Sends "MouseEnter", "MouseMove" and "MouseLeave" as the mouse crosses
    // the rects of the morph and all of its descendants.
    static void TrackHover(Morph& morph, const Input& input);
    // Offers a button event to the top-most, deepest morph under the mouse,
    // then to the ones below it and its ancestors, until one handles it.
    static bool DispatchMouseEvent(Morph& morph, PropertyKey event, const Input& input);

private:
    // The children as they are now, kept alive for the length of a walk.
    std::vector<MorphPtr> SnapshotChildren() const;
    bool IsAncestorOf(const Morph* morph) const;

    ChildList children;
    Morph* parent = nullptr;
    PropertyKey name;
    int32_t colour = 0;
    MorphRect rect;
    MorphRect fullBounds;
    EventHandlerPtr defaultHandler;
    Attributes attributes;
    HighlighterPtr highlighter;
    uint32_t flags = 0;
};

}  // namespace orvel
