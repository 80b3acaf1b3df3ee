// Engine::render, the draw of the engine's mesh list. Nothing in the show
// fills the list or calls it; a unit of its own keeps it out of the show's link.
#include "geometry/Mesh.h"
#include "render/Engine.h"

void Engine::render() {
    for (Mesh* mesh : meshes) mesh->render();
}
