#pragma once

#include <memory>

#include "engine/physics/body.h"

namespace orvel {

class Joint;

// A body kept in the play plane z = 0: the base of every unit. Its callbacks
// call FlattenMotion (or ApplyPlaneForce) each step so that contacts and
// joints cannot push it out of the plane or tip it about x or y.
class FlatBody : public Body {
public:
    FlatBody();
    ~FlatBody() override;

    void ResetOwn() override;
    void Reset() override;
    // Body's copy, then automatic sleeping off and both context pointers.
    void CopyFrom(const Body& prototype) override;

    // Creates the body from the definitions (as CreateFromObjectFile) and
    // runs it with a linear damping of 0.01; the damping field keeps what
    // the definition said, so copies of this body run with that.
    virtual void Spawn(Mechanica* world, void* creationContext, void* loadContext,
                       const PropertiesPtr& definitions, PropertyKey name);
    // A force along z that pulls the body back towards z = 0.
    virtual void ApplyPlaneForce();
    // Puts the body back on z = 0, upright to the plane, and removes every
    // motion that would leave the plane: z force and velocity, x and y
    // turning and torque.
    virtual void FlattenMotion();
    // Puts the body back on z = 0, upright to the plane, and stops all of its
    // motion.
    virtual void StopMotion();

    // An up-vector joint that keeps the body's z axis along (0, 0, 1);
    // replaces an earlier one.
    void CreateUpVectorJoint();
    const std::shared_ptr<Joint>& GetUpVectorJoint() const { return upVectorJoint; }

    void* GetCreationContext() const { return creationContext; }
    void* GetLoadContext() const { return loadContext; }

protected:
    void* creationContext = nullptr;
    void* loadContext = nullptr;
    std::shared_ptr<Joint> upVectorJoint;

private:
    // The z translation back to 0 and the z axis back along the plane's
    // normal, when they are not there already.
    void FlattenPosition();
};

}  // namespace orvel
