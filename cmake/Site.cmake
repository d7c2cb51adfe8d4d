# The site: the page made an app that installs and runs offline, for any
# static web server and under any path. From the built page it writes
# index.html (the page, with the manifest, the icons, the worker's
# registration and a policy that lets it reach them), manifest.webmanifest,
# and sw.js, whose cache is named after everything else the site holds, so
# each build has its own. The icons are in the folder already.
# cmake -D PAGE=springlattice.html -D WORKER=sw.js -D SITE=dir -D ICONS="name;..." -P Site.cmake

# What the page holds that the manifest repeats: its description, its colours.
file(READ ${PAGE} html)
function(page_holds what pattern)
    string(REGEX MATCH "${pattern}" found "${html}")
    if(found STREQUAL "")
        message(FATAL_ERROR "${PAGE} has no ${what}")
    endif()
    set(${what} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
page_holds(description "<meta name=\"description\" content=\"([^\"]+)\">")
page_holds(page_colour "--page-colour: (#[0-9a-fA-F]+);")
page_holds(caption_colour "--caption-colour: (#[0-9a-fA-F]+);")
page_holds(policy "<meta http-equiv=\"Content-Security-Policy\" content=\"([^\"]+)\">")

# The page's policy, which lets it fetch nothing, lets the site's page reach
# its own manifest, worker and icons.
string(REPLACE "img-src data:" "img-src 'self' data:" site_policy "${policy}")
if(site_policy STREQUAL policy)
    message(FATAL_ERROR "${PAGE}'s policy has no img-src data:")
endif()
string(APPEND site_policy "; manifest-src 'self'; worker-src 'self'")
string(REPLACE "${policy}" "${site_policy}" html "${html}")
set(head "<link rel=\"manifest\" href=\"manifest.webmanifest\">
<link rel=\"icon\" href=\"icon.svg\" type=\"image/svg+xml\">
<link rel=\"icon\" href=\"icon-192.png\" sizes=\"192x192\" type=\"image/png\">
<link rel=\"apple-touch-icon\" href=\"apple-touch-icon.png\">
<meta name=\"apple-mobile-web-app-title\" content=\"Spring Lattice\">
<meta name=\"theme-color\" content=\"${caption_colour}\">
<script>
  // The worker that keeps the site for use offline, where the page is served
  // over http or https: from a file nothing is tried.
  if (/^https?:$/.test(location.protocol) && \"serviceWorker\" in navigator)
    addEventListener(\"load\", () => navigator.serviceWorker.register(\"sw.js\").catch((error) =>
      console.warn(`Spring Lattice will not open offline: ${error}`)));
</script>
</head>")
string(FIND "${html}" "</head>" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE} has no </head>")
endif()
string(REPLACE "</head>" "${head}" html "${html}")

function(write name text)
    file(WRITE ${SITE}/${name}.new "${text}")
    file(COPY_FILE ${SITE}/${name}.new ${SITE}/${name} ONLY_IF_DIFFERENT)
    file(REMOVE ${SITE}/${name}.new)
endfunction()
write(index.html "${html}")
write(manifest.webmanifest "{
  \"name\": \"Spring Lattice\",
  \"short_name\": \"Lattice\",
  \"description\": \"${description}\",
  \"id\": \"./\",
  \"start_url\": \"./\",
  \"scope\": \"./\",
  \"display\": \"standalone\",
  \"background_color\": \"${page_colour}\",
  \"theme_color\": \"${caption_colour}\",
  \"icons\": [
    { \"src\": \"icon-192.png\", \"sizes\": \"192x192\", \"type\": \"image/png\" },
    { \"src\": \"icon-512.png\", \"sizes\": \"512x512\", \"type\": \"image/png\" },
    { \"src\": \"icon-maskable-512.png\", \"sizes\": \"512x512\", \"type\": \"image/png\", \"purpose\": \"maskable\" }
  ],
  \"shortcuts\": [
    { \"name\": \"Slow Motion\", \"description\": \"The lattice at 120 steps a second\", \"url\": \"./?steps-per-second=120\",
      \"icons\": [{ \"src\": \"icon-192.png\", \"sizes\": \"192x192\", \"type\": \"image/png\" }] }
  ]
}
")

# The worker keeps every file but itself; its cache is named after them all.
set(files index.html manifest.webmanifest ${ICONS})
set(hashes "")
set(listed "")
foreach(name IN LISTS files)
    file(SHA256 ${SITE}/${name} hash)
    string(APPEND hashes "${hash}")
    string(APPEND listed "\"${name}\", ")
endforeach()
string(SHA256 build "${hashes}")
string(SUBSTRING ${build} 0 16 build)
string(REGEX REPLACE ", $" "" listed "${listed}")
file(READ ${WORKER} worker)
string(REPLACE "@BUILD@" "${build}" worker "${worker}")
string(REPLACE "@FILES@" "${listed}" worker "${worker}")
write(sw.js "${worker}")
