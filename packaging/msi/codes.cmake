# The codes that name the Windows Installer package to Windows, in one place for the package
# and its tests. The UpgradeCode stays the same for every version: it is how a newer package
# finds an older one to replace. The ProductCode is made from the version and the commit, so
# that every build of one commit gives the same package and another commit another product.
set(NORVELL_MSI_UPGRADE_CODE "{34731AC9-006F-4E3C-8122-2425624DA179}")

# norvell_msi_product_code(<variable> <version> <commit>)
function(norvell_msi_product_code variable version commit)
  string(UUID code NAMESPACE 34731AC9-006F-4E3C-8122-2425624DA179
         NAME "Norvell ProductCode ${version} ${commit}" TYPE SHA1 UPPER)
  set(${variable} "{${code}}" PARENT_SCOPE)
endfunction()
