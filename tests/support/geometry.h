// geometry.h: boxes without buffers, for physics and overlap tests.
#pragma once

#include <memory>

#include "boxes/box_list.h"

inline void setGeometry(Box& box, Vec3 position, Vec3 size, Vec3 velocity = Vec3(0, 0, 0))
{
    box.position = position;
    box.size = size;
    box.velocity = velocity;
}

inline Box& addGeometry(BoxList& list, Vec3 position, Vec3 size, Vec3 velocity = Vec3(0, 0, 0))
{
    std::unique_ptr<Box> box(new Box());
    setGeometry(*box, position, size, velocity);
    list.append(std::move(box));
    return list.last();
}
