// The fake platform is assembled here.
namespace slidesaver::fake {}
