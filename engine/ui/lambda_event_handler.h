#pragma once

#include "engine/ui/event_handler.h"

namespace orvel {

// A handler that calls a member function of a screen with a morph fixed when
// the handler is made (usually the button itself). The event's name and
// argument are not passed on: the bound function is the whole handler.
template <typename Screen, typename BoundMorph = Morph>
class LambdaEventHandler : public EventHandler {
public:
    typedef bool (Screen::*Member)(BoundMorph*);

    LambdaEventHandler(Screen* screen, Member member, BoundMorph* morph)
        : screen(screen), member(member), morph(morph) {}

    bool Handle(Morph*, PropertyKey, const boost::any&) override {
        return (screen->*member)(morph);
    }

private:
    Screen* screen;  // not owned: the screen owns the tree that holds the handler
    Member member;
    BoundMorph* morph;
};

}  // namespace orvel
