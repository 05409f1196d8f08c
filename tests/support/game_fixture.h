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
    std::string commandLine; // WinMain's

    // Override to change the platform before the game starts.
    virtual void beforeStart() {}

    void SetUp() override
    {
        testctl::useHeadless();
        testctl::captureMessageBoxes();
        testctl::setDesktopSize(kDesktopWidth, kDesktopHeight);
        beforeStart();
        game.reset(new testctl::ProgramRunner(WinMain, commandLine));
        game->start();
    }
    // Ends the game and starts it afresh in the same process, with what
    // start-up leaves as it is put back as a fresh process has it.
    void restart() { ASSERT_EQ(restart(commandLine), 0); }
    // The same with `arguments` on the new game's command line; the old
    // game's exit code.
    int restart(const std::string& arguments)
    {
        const int code = game->quit();
        g_lastAimPoint = Vec3(0.0f, 0.0f, 0.0f);
        g_mouse = MouseButtons();
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
