#pragma once
// The holder of one replaceable platform layer: the real layer is made by its factory on first
// use, a test puts a double in its place, and Reset drops whichever is there. An optional
// installer runs on every layer that takes the place (to hook its events).
#include <memory>
#include <utility>

template <class Layer>
class LayerSlot {
public:
    using Factory = std::unique_ptr<Layer> (*)();
    using Installer = void (*)(Layer&);

    explicit LayerSlot(Factory make, Installer install = nullptr) : m_make(make), m_install(install) {}

    Layer& Get()
    {
        if (!m_layer)
            Set(m_make());
        return *m_layer;
    }

    void Set(std::unique_ptr<Layer> layer)
    {
        m_layer = std::move(layer);
        if (m_layer && m_install)
            m_install(*m_layer);
    }

    // The layer in place, or nullptr; never makes one.
    Layer* Current() const { return m_layer.get(); }

    void Reset() { m_layer.reset(); }

private:
    Factory m_make;
    Installer m_install;
    std::unique_ptr<Layer> m_layer;
};
