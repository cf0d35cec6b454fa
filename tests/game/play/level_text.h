#pragma once

#include <map>
#include <string>
#include <vector>

// The text of a small valid "level.txt", one section per top-level key, so
// that a test can drop or replace a key and keep the rest valid. The tiles
// are named, not made: tests that build the level write them too.
class LevelText {
public:
    LevelText() {
        Set("music", "string music: \"tune.ogg\"\n");
        Set("skyLayer", "string skyLayer: \"sky.bbq\"\n");
        Set("mountainsLayer", "string mountainsLayer: \"mountains.bbq\"\n");
        Set("foreground", "list string foreground {\n\"ground.bbq\"\n\"ground.bbq\"\n}\n");
        Set("midground", "list string midground {\n\"hills.bbq\"\n\"hills.bbq\"\n}\n");
        Set("midgroundScrollRatio", "float midgroundScrollRatio: 0.5\n");
        Set("nodeHeights", "list int nodeHeights {\n40\n60\n60\n40\n}\n");
        Set("nodeSpacing", "int nodeSpacing: 400\n");
        Set("placedObjects", "list struct placedObjects {\n" + Factory("team_good", 200) +
                                 Factory("team_bad", 1400) + "}\n");
        Set("goodPurchaseMenu", Menu("goodPurchaseMenu"));
        Set("badPurchaseMenu", Menu("badPurchaseMenu"));
        Set("enemyAirship", "bool enemyAirship: yes\n");
        Set("purchaseTimePerUnit", "float purchaseTimePerUnit: 4.5\n");
        Set("enemyBuy", "bool enemyBuy: no\n");
        Set("purchaseGroups",
            "list list string purchaseGroups {\n{\n\"tanks\"\n\"infantry\"\n}\n{\n\"zeppelin\"\n"
            "\"buster\"\n}\n}\n");
    }

    // Replaces a key's section; an empty text drops the key.
    LevelText& Set(const std::string& key, const std::string& text) {
        if (sections.count(key) == 0) {
            order.push_back(key);
        }
        sections[key] = text;
        return *this;
    }

    std::string Text() const {
        std::string text;
        for (const std::string& key : order) {
            text += sections.at(key);
        }
        return text;
    }

    // A placed factory at (x, 40) pixels.
    static std::string Factory(const std::string& team, int x) {
        return Object(team, "Static_Factory", x, 40);
    }

    static std::string Object(const std::string& team, const std::string& type, int x, int y) {
        return "{\nstring teamName: \"" + team + "\"\nstring type: \"" + type +
               "\"\nlist float matrix {\n1\n0\n0\n0\n0\n1\n0\n0\n0\n0\n1\n0\n" + std::to_string(x) +
               "\n" + std::to_string(y) + "\n0\n1\n}\n}\n";
    }

    static std::string Menu(const std::string& key) {
        return "struct " + key +
               " {\nint infantry: 1\nint engineer: 1\nint tank: 1\nint flakTruck: 0\n"
               "int balloon: 0\nint autoGyro: 0\nint buster: 1\n}\n";
    }

private:
    std::vector<std::string> order;
    std::map<std::string, std::string> sections;
};
