// The base of every skin object: the common record (name, colours,
// placement), the children read from the file, and the named properties.
//
// Byte-level code: no GDI, so the fuzzing build compiles it natively.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/FieldSchema.h"
#include "data/PropertyRecord.h"

class MemoryStream;
class SkinStore;

class SkinObject {
public:
    static const size_t kNameSize = 51;        // at most 50 characters
    static const size_t kSecondTextSize = 51;
    // Where an object sits when its record does not say.
    static constexpr RECT kDefaultPlacement = {0, 0, 60, 30};

    using ChildTable = std::map<std::string, std::unique_ptr<SkinObject>>;
    using PropertyTable = std::map<std::string, std::unique_ptr<PropertyRecord>>;

    // A plain object (the extra objects of a file, type 19).
    explicit SkinObject(int32_t typeCode);

    SkinObject(const SkinObject&) = delete;
    SkinObject& operator=(const SkinObject&) = delete;

    virtual COLORREF DefaultKeyColour() const;
    // Gives back the fonts and prepared images that Resolve made, the
    // children's too.
    void ReleaseResources();
    // Makes what painting needs (fonts, prepared images); children too.
    void Resolve(SkinStore& store);
    // Writes the type code and exactly the record that Load reads, under
    // the rules of the current container version.
    virtual bool Save(MemoryStream& stream);
    // Reads the record under the rules of the current container version.
    virtual bool Load(MemoryStream& stream);
    virtual ~SkinObject();
    // The property of that key, upper-cased first.
    virtual PropertyRecord* FindProperty(const char* key);
    // Replaces what a container of an older minor version cannot hold by
    // the values the engine uses instead; run after a record is read.
    virtual void ApplyVersionFixups(uint8_t minor);

    int32_t TypeCode() const { return typeCode_; }
    const char* Name() const { return name; }
    const Schema& GetSchema() const { return *schema_; }
    // The common record alone: fields 1 to 8, then the children. Every
    // type's schema begins with these steps.
    static const Schema& CommonRecordSchema();

    // The child of that name, searched depth first in name order.
    SkinObject* FindChild(const char* childName);
    // False (and the child is dropped) when a child of its name exists.
    bool AddChild(std::unique_ptr<SkinObject> child);
    const ChildTable& Children() const { return children_; }

    void RegisterProperty(int32_t kind, const char* key, const char* defaultText, void* field, int32_t size);
    const PropertyTable& Properties() const { return properties_; }

    // The common record's fields (the name is the key objects are found by).
    COLORREF backColour;
    COLORREF textColour;
    COLORREF keyColour;
    RECT placement;
    int32_t autoPlace;
    char secondText[kSecondTextSize];
    int32_t spare;
    char name[kNameSize];

protected:
    // The object's own part of Resolve and ReleaseResources. The walk over
    // the children is the base's and uses no recursion: children nest as
    // deep as the file makes them, deeper than any thread stack would hold.
    virtual void ResolveOwn(SkinStore& store);
    virtual void ReleaseOwnResources();

    // Binds the object to its type's record description and registers the
    // keys the description names. Called by each concrete type's
    // constructor once its own fields exist.
    void AdoptSchema(const Schema& schema);
    // The common record: fields 1 to 8, then the children.
    static void AddCommonRecord(SchemaBuilder& builder);

private:
    // Calls visit(object) for the object and its children, depth first in
    // name order, until it returns non-null; returns that.
    template <class Visit>
    SkinObject* VisitSubtree(Visit visit);
    // Moves the children of `object` and of its embedded parts into `into`.
    static void TakeNestedObjects(SkinObject& object, std::vector<std::unique_ptr<SkinObject>>& into);

    ChildTable children_;
    int32_t typeCode_;
    const Schema* schema_;
    PropertyTable properties_;
};
