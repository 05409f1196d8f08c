// game_fixture.h: runs the real WinMain frame by frame on the headless
// platform, with message boxes captured and an 800x600 desktop.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/game_state.h"
#include "test_controls.h"

constexpr DWORD kFrameMs = 16;
constexpr int kDesktopWidth = 800;
constexpr int kDesktopHeight = 600;
constexpr int kCentreX = kDesktopWidth / 2;
constexpr int kCentreY = kDesktopHeight / 2;

struct GameTest : ::testing::Test {
    std::unique_ptr<testctl::ProgramRunner> game;

    // Override to change the platform before the game starts.
    virtual void beforeStart() {}
    // What WinMain is given.
    virtual std::string commandLine() { return ""; }

    void SetUp() override
    {
        testctl::useHeadless();
        testctl::captureMessageBoxes();
        testctl::setDesktopSize(kDesktopWidth, kDesktopHeight);
        beforeStart();
        game.reset(new testctl::ProgramRunner(WinMain, commandLine()));
        game->start();
    }
    // Ends the game with Escape and starts it again in this process with
    // `arguments` (the game's globals keep what shutdown leaves).
    int restart(const std::string& arguments)
    {
        const int code = game->quit();
        game.reset(new testctl::ProgramRunner(WinMain, arguments));
        game->start();
        return code;
    }
    void TearDown() override { game.reset(); }

    bool frame(DWORD ms = kFrameMs) { return game->frame(ms); }
    bool frames(int n, DWORD ms = kFrameMs) { return game->frames(n, ms); }
    // Lets the player cube fall onto the ground and settle.
    void settleOnGround() { frames(120); }
    void hold(int vk) { testctl::keyDown(vk); }
    void release(int vk) { testctl::keyUp(vk); }
    void type(char c)
    {
        testctl::typeChar(c);
        game->settle();
    }
    void click(bool left)
    {
        testctl::mouseButton(left, true);
        testctl::mouseButton(left, false);
    }
    void lookBy(int dx, int dy) { testctl::setCursorPosition(kCentreX + dx, kCentreY + dy); }
    Box& cube() { return g_boxes.at(0); }
};
