// box_list.cpp: removing from the list, and addBox.
#include "boxes/box_list.h"

void BoxList::removeLast()
{
    if (boxes.empty())
        return;
    boxes.back()->release();
    boxes.pop_back();
}

void BoxList::removeAt(uint32_t i)
{
    boxes[i]->release();
    boxes.erase(boxes.begin() + std::ptrdiff_t(i));
}

bool addBox(IDirect3DDevice9* device, float px, float py, float pz, float sx, float sy, float sz)
{
    std::unique_ptr<Box> box(new Box());
    if (!box->create(device, px, py, pz, sx, sy, sz))
        return false;
    g_boxes.append(std::move(box));
    return true;
}
