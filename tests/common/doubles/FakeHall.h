#pragma once
// The hall channel's double: present or not, and every number posted to it.
#include <QString>
#include <vector>

#include "session/HallLink.h"

namespace TestDoubles {

class FakeHall : public HallChannel {
public:
    bool present = true;
    QString lastCaption;
    std::vector<uint32_t> posted;

    bool Find(const QString& caption) override
    {
        lastCaption = caption;
        return present;
    }
    void Post(uint32_t number) override
    {
        if (present)
            posted.push_back(number);
    }
    void Flush() override {}
};

}  // namespace TestDoubles
