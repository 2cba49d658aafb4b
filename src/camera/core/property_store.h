// The state of one camera's property tree: the items with their current
// values, and the faults injected into its COM objects. Shared, through a
// std::shared_ptr, by every COM object made from it, and safe to use from
// several threads: property writes may come while frames are delivered.
//
// The shape of the tree, its names and its identifiers never change after
// construction; the values and the faults are guarded by one mutex.
#pragma once

#include "com_object.h"

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vexcam {

// The object of the tree that a COM object stands for.
struct PropertyNode {
    PropertyObject object = PropertyObject::Items;
    std::size_t item = 0;
    std::size_t element = 0;
};

// Keeps the elements of a store in step with a real camera: a read refreshes
// the element from the camera first; a write goes to the camera and is kept
// only when the camera accepts it. Called with the store's lock held.
class ElementBinding {
public:
    virtual ~ElementBinding() = default;
    virtual void refresh(std::size_t item, std::size_t element, ElementSpec& spec) = 0;
    // `spec` holds the written value; answers the camera's verdict and may
    // correct `spec` to what the camera took.
    virtual HRESULT commit(std::size_t item, std::size_t element, ElementSpec& spec) = 0;
};

class PropertyStore;

// Keeps an observer of a store's writes registered while it lives.
class VEXLIB_API WriteObservation {
public:
    WriteObservation() = default;
    WriteObservation(std::shared_ptr<PropertyStore> store, std::uint64_t id) : store_(std::move(store)), id_(id) {}
    WriteObservation(WriteObservation&& other) noexcept;
    WriteObservation& operator=(WriteObservation&& other) noexcept;
    ~WriteObservation();

private:
    std::shared_ptr<PropertyStore> store_;
    std::uint64_t id_ = 0;
};

// Must be owned by a std::shared_ptr: the COM objects share it.
class VEXLIB_API PropertyStore : public std::enable_shared_from_this<PropertyStore> {
public:
    PropertyStore(std::vector<ItemSpec> items, std::vector<PropertyFault> faults, ListFault itemsFault);
    PropertyStore(const PropertyStore&) = delete;
    PropertyStore& operator=(const PropertyStore&) = delete;

    // A new items collection (one reference); null when the list is Missing,
    // a collection without items when it is Empty.
    Vexlib::IVCDPropertyItems* createItemsCollection();

    // X and Y of the partial-scan offset item, if the camera has it (an
    // offset element that is missing counts as 0).
    std::optional<Size> partialScanOffset() const;
    // Whether the partial-scan auto-centre switch is on (false without one).
    bool autoCenter() const;

    struct PatternAdjust {
        std::int32_t brightness = 0;
        double gain = 1.0;
    };
    // From the first element with a brightness or gain effect: brightness is
    // the value's distance from its default; gain is 1 at the default and
    // moves by 1 over the whole range (never below 0).
    PatternAdjust patternAdjust() const;

    // Calls `observer` after each accepted write of a value, with the store's
    // lock held: the observer must not call back into the store. It is called
    // no more once the returned observation is gone.
    [[nodiscard]] WriteObservation observeWrites(std::function<void()> observer);

    // Before the store is first used.
    void bind(std::shared_ptr<ElementBinding> binding) { binding_ = std::move(binding); }

    void setFaults(std::vector<PropertyFault> faults);
    void setItemsFault(ListFault itemsFault);

    // Direct access by identifiers (the first item and element with them).
    // A copy of an element with its current values.
    std::optional<ElementSpec> element(const GUID& itemId, const GUID& elementId) const;
    std::optional<std::int32_t> integerValue(const GUID& itemId, const GUID& elementId) const;
    // Writes as the camera does: false, and nothing changed, without such an
    // integer range or for a value outside it.
    bool setIntegerValue(const GUID& itemId, const GUID& elementId, std::int32_t value);

    // Used by the COM objects.
    std::size_t itemCount() const noexcept { return items_.size(); }
    const std::string& itemName(std::size_t item) const { return items_.at(item).name; }
    const GUID& itemId(std::size_t item) const { return items_.at(item).id; }
    std::size_t elementCount(std::size_t item) const { return items_.at(item).elements.size(); }
    const std::string& elementName(std::size_t item, std::size_t element) const;
    const GUID& elementId(std::size_t item, std::size_t element) const;
    std::optional<std::size_t> findItem(const GUID& itemId) const;
    std::optional<std::size_t> findElement(std::size_t item, const GUID& elementId) const;
    // Whether the element offers the typed interface of kind `kind`.
    bool offers(std::size_t item, std::size_t element, PropertyObject kind) const;
    com::SlotFault slotFault(const PropertyNode& node, int slot) const;

    // Runs `action` on the element under the lock and returns its result.
    template <class Action>
    decltype(auto) withElement(std::size_t item, std::size_t element, Action&& action)
    {
        std::lock_guard lock(mutex_);
        ElementSpec& spec = items_.at(item).elements.at(element);
        if (binding_) binding_->refresh(item, element, spec);
        return action(spec);
    }

    // Runs `write` on a copy of the element; the copy replaces the element
    // when `write` and the bound camera both accept it.
    template <class Write>
    HRESULT writeElement(std::size_t item, std::size_t element, Write&& write)
    {
        std::lock_guard lock(mutex_);
        ElementSpec& spec = items_.at(item).elements.at(element);
        HRESULT status = S_OK;
        if (!binding_) {
            status = write(spec);
        } else {
            binding_->refresh(item, element, spec);
            ElementSpec changed = spec;
            status = write(changed);
            if (SUCCEEDED(status)) status = binding_->commit(item, element, changed);
            if (SUCCEEDED(status)) spec = std::move(changed);
        }
        if (SUCCEEDED(status)) notifyWrite();
        return status;
    }

private:
    friend class WriteObservation;
    void forget(std::uint64_t observation);
    void notifyWrite() const; // with the lock held

    const ElementSpec* findElementSpec(const GUID& itemId, const GUID& elementId) const;
    ElementSpec* findElementSpec(const GUID& itemId, const GUID& elementId);
    bool matches(const PropertyFault& fault, const PropertyNode& node, int slot) const;

    mutable std::mutex mutex_;
    std::vector<ItemSpec> items_;
    std::vector<PropertyFault> faults_;
    ListFault itemsFault_;
    std::shared_ptr<ElementBinding> binding_;
    std::vector<std::pair<std::uint64_t, std::function<void()>>> observers_;
    std::uint64_t nextObservation_ = 1;
};

} // namespace vexcam
