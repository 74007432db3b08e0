#pragma once

// The figure and transition lists of the resource service, built from its
// shape paths and the figure and transition folders.
namespace Resource {

class ResourceService;

class ResourceLists {
public:
    // Installed as the service's list builder at start-up.
    static void build(ResourceService& service);
};

}  // namespace Resource
