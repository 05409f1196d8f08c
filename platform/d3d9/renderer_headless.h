// renderer_headless.h: the recording renderer used by tests and tools. It
// draws nothing; it keeps a log of every draw with the state bound at that
// moment, so tests can check what was drawn with what.
#pragma once

#include <vector>

#include "device.h" // beside it: test_controls.h reaches this header by its path

struct DrawRecord {
    DrawCall call;
    D3DMATERIAL9 material;
    IDirect3DBaseTexture9* texture;
    IDirect3DVertexBuffer9* stream;
    UINT streamOffset;
    UINT streamStride;
    IDirect3DIndexBuffer9* indices;
    DWORD fvf;
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    uint32_t frame; // Present calls before this draw
};

struct HeadlessLog {
    bool recording = true;
    std::vector<DrawRecord> draws;
    uint32_t presents = 0;
    DWORD lastClearFlags = 0;
    D3DCOLOR lastClearColor = 0;
    float lastClearZ = 0.0f;
    // Where the last Present put the picture; all zero for the whole window.
    RECT lastPresentDestination = {0, 0, 0, 0};
};

HeadlessLog& headlessLog();
