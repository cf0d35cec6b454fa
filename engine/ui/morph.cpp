#include "engine/ui/morph.h"

#include <algorithm>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/input.h"
#include "engine/core/int_to_string.h"
#include "engine/ui/morph_keys.h"
#include "engine/ui/screen_drawing.h"

namespace orvel {

namespace {

const PropertyKey TYPE_MORPH("Morph");

// The width and height that Initialize gives.
const int32_t INITIAL_SIZE = 40;

// The rectangle, or ExceptionGeneral naming the morph when an edge lies
// outside the coordinate limit. Edges come as 64-bit sums, so a sum that
// would overflow 32 bits is refused rather than wrapped.
MorphRect CheckedRect(PropertyKey name, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (!IsWithinUiLimit(left) || !IsWithinUiLimit(top) || !IsWithinUiLimit(right) ||
        !IsWithinUiLimit(bottom)) {
        throw ExceptionGeneral("Morph " + name.GetName() + ": the rectangle (" +
                               std::to_string(left) + "," + std::to_string(top) + "," +
                               std::to_string(right) + "," + std::to_string(bottom) +
                               ") lies outside -" + IntToString(UI_COORDINATE_LIMIT) + ".." +
                               IntToString(UI_COORDINATE_LIMIT) + ".");
    }
    return MorphRect(static_cast<int32_t>(left), static_cast<int32_t>(top),
                     static_cast<int32_t>(right), static_cast<int32_t>(bottom));
}

}  // namespace

Morph::Morph(PropertyKey name) : name(name) {}

Morph::~Morph() {
    for (const MorphPtr& child : children) {
        child->parent = nullptr;
    }
}

void Morph::UnloadTextures() {
    for (const MorphPtr& child : SnapshotChildren()) {
        child->UnloadTextures();
    }
}

void Morph::ReloadTextures() {
    for (const MorphPtr& child : SnapshotChildren()) {
        child->ReloadTextures();
    }
}

void Morph::Initialize(const PointI& position) {
    SetRect(
        MorphRect(position.x, position.y, position.x + INITIAL_SIZE, position.y + INITIAL_SIZE));
    colour = MakeColour(0, 64, 128, 255);
}

bool Morph::Update(float) { return false; }

void Morph::DrawSelf() { DrawScreenRectAlpha(rect, colour); }

void Morph::SetRect(const MorphRect& newRect) {
    CheckedRect(name, newRect.left, newRect.top, newRect.right, newRect.bottom);
    const int32_t dx = newRect.left - rect.left;
    const int32_t dy = newRect.top - rect.top;
    if (dx != 0 || dy != 0) {
        // The children move along: refuse before any of them has moved.
        for (const MorphPtr& child : children) {
            const MorphRect& bounds = child->fullBounds;
            CheckedRect(child->name, int64_t(bounds.left) + dx, int64_t(bounds.top) + dy,
                        int64_t(bounds.right) + dx, int64_t(bounds.bottom) + dy);
        }
        for (const MorphPtr& child : SnapshotChildren()) {
            const MorphRect childRect = child->GetRect();
            child->SetPosition(PointI(childRect.left + dx, childRect.top + dy));
        }
    }
    rect = newRect;
    UpdateFullBounds();
}

MorphRect Morph::GetRect() const { return rect; }

void Morph::UpdateFullBounds() {
    MorphRect bounds = GetRect();
    for (const MorphPtr& child : children) {
        bounds = UniteRects(bounds, child->fullBounds);
    }
    if (bounds != fullBounds) {
        fullBounds = bounds;
        if (parent != nullptr) {
            parent->UpdateFullBounds();
        }
    }
}

void Morph::AddChild(MorphPtr child) {
    if (!child) {
        throw ExceptionGeneral("Morph::AddChild: no morph to add to " + name.GetName());
    }
    if (child.get() == this || child->IsAncestorOf(this)) {
        throw ExceptionGeneral("Morph::AddChild: " + child->name.GetName() +
                               " cannot become a child of its own subtree");
    }
    if (child->parent != nullptr) {
        child->parent->RemoveChild(child.get());
    }
    child->parent = this;
    children.push_back(child);
    UpdateFullBounds();
}

Morph::ChildList::iterator Morph::RemoveChild(ChildList::const_iterator position) {
    // The child stays alive until its parent pointer is cleared, even when
    // the list held its last reference.
    const MorphPtr child = *position;
    child->parent = nullptr;
    const ChildList::iterator next = children.erase(position);
    UpdateFullBounds();
    return next;
}

bool Morph::RemoveChild(const Morph* child) {
    const ChildList::const_iterator found =
        std::find_if(children.cbegin(), children.cend(),
                     [child](const MorphPtr& held) { return held.get() == child; });
    if (found == children.cend()) {
        return false;
    }
    RemoveChild(found);
    return true;
}

PropertyKey Morph::GetTypeName() const { return TYPE_MORPH; }

bool Morph::HandleEvent(PropertyKey event, const boost::any& argument) {
    const Attributes::Map::iterator found = attributes.Find(event);
    if (found != attributes.End()) {
        // A copy: the handler may replace itself while it runs.
        const EventHandlerPtr handler = boost::any_cast<EventHandlerPtr>(found->second);
        if (handler && handler->Handle(this, event, argument)) {
            return true;
        }
    }
    if (defaultHandler) {
        const EventHandlerPtr handler = defaultHandler;
        return handler->Handle(this, event, argument);
    }
    return false;
}

void Morph::SetPosition(const PointI& topLeft) {
    const MorphRect current = GetRect();
    SetRect(CheckedRect(name, topLeft.x, topLeft.y, int64_t(topLeft.x) + current.Width(),
                        int64_t(topLeft.y) + current.Height()));
}

void Morph::SetSize(const PointI& size) {
    const MorphRect current = GetRect();
    SetRect(CheckedRect(name, current.left, current.top, int64_t(current.left) + size.x,
                        int64_t(current.top) + size.y));
}

void Morph::SetWidth(int32_t width) {
    const MorphRect current = GetRect();
    SetRect(CheckedRect(name, current.left, current.top, int64_t(current.left) + width,
                        current.bottom));
}

Morph* Morph::GetRoot() {
    Morph* root = this;
    while (root->parent != nullptr) {
        root = root->parent;
    }
    return root;
}

Morph* Morph::FindChild(PropertyKey wanted) const {
    for (const MorphPtr& child : children) {
        if (child->name == wanted) {
            return child.get();
        }
    }
    for (const MorphPtr& child : children) {
        Morph* found = child->FindChild(wanted);
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

Morph* Morph::FindSibling(PropertyKey wanted) const {
    if (parent == nullptr) {
        return nullptr;
    }
    for (const MorphPtr& child : parent->children) {
        if (child->name == wanted) {
            return child.get();
        }
    }
    return nullptr;
}

void Morph::SetHighlightState(uint8_t state) {
    if (highlighter) {
        highlighter->SetState(state);
    }
}

void Morph::SetAttribute(PropertyKey key, const EventHandlerPtr& handler) {
    attributes[key] = handler;
}

void Morph::SetAttribute(PropertyKey key, const StatePtr& state) { attributes[key] = state; }

void Morph::DrawTree(Morph& morph) {
    morph.DrawSelf();
    if (morph.highlighter) {
        morph.highlighter->Draw();
    }
    for (const MorphPtr& child : morph.SnapshotChildren()) {
        if (child->parent == &morph) {
            DrawTree(*child);
        }
    }
}

void Morph::UpdateTree(Morph& morph, float dt) {
    for (const MorphPtr& child : morph.SnapshotChildren()) {
        if (child->parent != &morph) {
            continue;
        }
        if (child->Update(dt)) {
            // Removed as RemoveChild removes, so that a child held elsewhere
            // never points back at a parent that has let it go.
            if (child->parent == &morph) {
                morph.RemoveChild(child.get());
            }
            continue;
        }
        if (child->highlighter) {
            const HighlighterPtr highlighter = child->highlighter;
            highlighter->Update(dt);
        }
        UpdateTree(*child, dt);
    }
}

void Morph::TrackHover(Morph& morph, const Input& input) {
    const int32_t x = input.GetMouseX();
    const int32_t y = input.GetMouseY();
    const bool inside = morph.GetRect().Contains(x, y);
    const boost::any argument(&input);
    if (morph.flags & MORPH_FLAG_MOUSE_INSIDE) {
        if (!inside) {
            morph.flags &= ~MORPH_FLAG_MOUSE_INSIDE;
            morph.HandleEvent(MORPH_EVENT_MOUSE_LEAVE, argument);
        } else if (x != input.GetPreviousMouseX() || y != input.GetPreviousMouseY()) {
            morph.HandleEvent(MORPH_EVENT_MOUSE_MOVE, argument);
        }
    } else if (inside) {
        morph.flags |= MORPH_FLAG_MOUSE_INSIDE;
        morph.HandleEvent(MORPH_EVENT_MOUSE_ENTER, argument);
    }
    for (const MorphPtr& child : morph.SnapshotChildren()) {
        if (child->parent == &morph) {
            TrackHover(*child, input);
        }
    }
}

bool Morph::DispatchMouseEvent(Morph& morph, PropertyKey event, const Input& input) {
    if (!morph.fullBounds.Contains(input.GetMouseX(), input.GetMouseY())) {
        return false;
    }
    const std::vector<MorphPtr> snapshot = morph.SnapshotChildren();
    for (std::vector<MorphPtr>::const_reverse_iterator it = snapshot.rbegin();
         it != snapshot.rend(); ++it) {
        if ((*it)->parent == &morph && DispatchMouseEvent(**it, event, input)) {
            return true;
        }
    }
    return morph.HandleEvent(event, boost::any(&input));
}

std::vector<MorphPtr> Morph::SnapshotChildren() const {
    return std::vector<MorphPtr>(children.begin(), children.end());
}

bool Morph::IsAncestorOf(const Morph* morph) const {
    for (const Morph* above = morph->parent; above != nullptr; above = above->parent) {
        if (above == this) {
            return true;
        }
    }
    return false;
}

}  // namespace orvel
